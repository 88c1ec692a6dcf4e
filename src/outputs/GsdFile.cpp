#include "outputs/GsdFile.h"

#include "workspace/Vendor.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <stdexcept>
#include <string_view>
#include <utility>
#include <vector>

#include "base/IntegerText.h"
#include "base/LocatedError.h"
#include "documents/CommunicationSettings.h"
#include "platform/FileSystem.h"

namespace outputs {
namespace {

constexpr std::int32_t kModuleSize = 64;
constexpr std::size_t kBoxWidth = 85;

class GsdLines {
public:
    void add(std::string line) { m_lines.push_back(std::move(line)); }
    void add(std::initializer_list<std::string_view> lines) {
        for (std::string_view line : lines) m_lines.emplace_back(line);
    }
    void empty(int count = 1) {
        for (int i = 0; i < count; ++i) m_lines.emplace_back();
    }
    // A line of the header box: ";*", the text, blanks, and "*" in the last column.
    void framed(std::string_view text) {
        std::string line = ";*" + std::string(text);
        line.resize(kBoxWidth - 1, ' ');
        add(line + "*");
    }
    void boxSpacer() { framed(""); }
    void boxRule() { add(";* " + std::string(kBoxWidth - 5, '=') + " *"); }
    // A section heading: a rule of width characters, the title filled up with
    // "=" to the same width, and the rule again.
    void section(std::string_view title, std::size_t width) {
        const std::string rule = ";" + std::string(width - 1, '=');
        std::string heading(title);
        heading.resize(width, '=');
        add(rule);
        add(heading);
        add(rule);
    }

    std::string text() const {
        std::string text;
        for (const std::string& line : m_lines) text += line + "\r\n";
        return text;
    }

private:
    std::vector<std::string> m_lines;
};

void addHeader(GsdLines& gsd) {
    gsd.add(";");
    gsd.add(";" + std::string(23, '*') + " Gateway CANopen to ProfiBus Slave " + std::string(26, '*'));
    gsd.boxRule();
    gsd.boxSpacer();
    gsd.framed(" Vendor:   Orvenna");
    // Contact data of the vendor.
    const std::string indent(11, ' ');
    gsd.framed(indent + "Example Street 0");
    gsd.framed(indent + "00000 Sampletown");
    gsd.framed(indent + "Nowhere Province - Examplia");
    gsd.framed(indent + "Tel. : +00 000 0000000");
    gsd.framed(indent + "FAX. : +00 000 0000001");
    gsd.framed(indent + "eMail: " + workspace::kVendorEmail);
    gsd.boxSpacer();
    gsd.boxRule();
    gsd.boxSpacer();
    gsd.framed(" Function:       Gateway Serial Slave to ProfiBus Slave");
    gsd.boxSpacer();
    gsd.boxSpacer();
    gsd.framed(" Order Number : GW48213");
    gsd.boxSpacer();
    gsd.boxSpacer();
    gsd.add(";" + std::string(kBoxWidth - 1, '*'));
    gsd.empty(2);
    gsd.add("#Profibus_DP");
    gsd.empty(2);
}

void addParameterTexts(GsdLines& gsd) {
    gsd.section(";==== Prm-Text-Def-List ", 85);
    gsd.empty();
    gsd.add({"PrmText=1", "Text(0)=\"disable\"", "Text(1)=\"enable\"", "EndPrmText"});
    gsd.empty();
    gsd.add({"PrmText  = 2", "Text(0)  = \"clock up\"", "Text(1)  = \"clock down\"", "EndPrmText"});
    gsd.empty();
    gsd.add({"PrmText  = 3", "Text(1)  = \"10\"", "Text(2)  = \"20\"", "Text(3)  = \"30\"", "Text(4)  = \"40\"",
             "Text(5)  = \"50\"", "EndPrmText"});
    gsd.empty(2);

    gsd.section(";==== Ext-User-Prm-Data-Def-List ", 86);
    gsd.empty();
    gsd.add({"ExtUserPrmData=1 \"[SlotNumber]\"", "Unsigned8 0 0-32", "EndExtUserPrmData", ""});
    gsd.add({"ExtUserPrmData=2 \"Diagnostic Alarm\"", "Bit(0) 0 0-1", "Prm_Text_Ref=1", "EndExtUserPrmData", ""});
    gsd.add({"ExtUserPrmData=3 \"Process Alarm\"", "Bit(1) 0 0-1", "Prm_Text_Ref=1", "EndExtUserPrmData", ""});
    gsd.add({"ExtUserPrmData=4 \"Counter mode\"", "Unsigned8 0 0-1", "Prm_Text_Ref=2", "EndExtUserPrmData", ""});
    gsd.add(
        {"ExtUserPrmData=5 \"Counter timebase (ms)\"", "Unsigned8 1 1-5", "Prm_Text_Ref=3", "EndExtUserPrmData", ""});
    gsd.add({"ExtUserPrmData=6 \"Counter high-limit\"", "Unsigned16 65535 0-65535", "EndExtUserPrmData", ""});
    gsd.add({"ExtUserPrmData=7 \"Counter low-limit\"", "Unsigned16 0 0-65535", "EndExtUserPrmData", ""});
    gsd.empty();
}

void addKeywords(GsdLines& gsd, const ProfibusLengths& lengths) {
    gsd.section(";==== General DP Keywords ", 86);
    gsd.empty();
    gsd.add({"GSD_Revision = 5", "Vendor_Name = \"Orvenna\"", "Model_Name = \"GW48213\"", "Revision = \"1.00\"",
             "Ident_Number = 0xAFFF", "Protocol_Ident = 0", "Station_Type = 0", "FMS_supp = 0",
             "Hardware_Release = \"V1.00\"", "Software_Release = \"V1.00\"", "Redundancy = 0", "Repeater_Ctrl_Sig = 2",
             "24V_Pins = 0"});
    gsd.empty(2);

    gsd.section(";==== Supported baudrates ", 79);
    gsd.empty();
    gsd.add({"9.6_supp = 1", "19.2_supp = 1", "45.45_supp = 1", "93.75_supp = 1", "187.5_supp = 1", "500_supp = 1",
             "1.5M_supp = 1", "3M_supp = 1", "6M_supp = 1", "12M_supp = 1"});
    gsd.empty();
    gsd.add({"MaxTsdr_9.6=15", "MaxTsdr_19.2=15", "MaxTsdr_45.45=15", "MaxTsdr_93.75=15", "MaxTsdr_187.5=15",
             "MaxTsdr_500=15", "MaxTsdr_1.5M=20", "MaxTsdr_3M=35", "MaxTsdr_6M=50", "MaxTsdr_12M=95"});
    gsd.empty(2);

    gsd.section(";==== Slave specific values ", 79);
    gsd.empty();
    gsd.add({"OrderNumber=\"GW48213\"", "Slave_Family = 9@Orvenna@GW48213", "Implementation_Type = \"VPC3+\"",
             "Info_Text=\"Orvenna: Gateway Serial Slave to ProfiBus Slave\"", "Bitmap_Device = \"DPV0_1N\"",
             "Bitmap_SF=\"DPV0_1S\""});
    gsd.empty();
    gsd.add({"Freeze_Mode_supp=1", "Sync_Mode_supp=1", "Fail_Safe=1", "Auto_Baud_supp=1", "Set_Slave_Add_supp=0"});
    gsd.empty();
    gsd.add("Min_Slave_Intervall=6");
    gsd.empty();
    gsd.add("Modular_Station=1");
    gsd.add("Max_Module=" + std::to_string(lengths.inputModules + lengths.outputModules));
    gsd.add("Modul_Offset=1");
    gsd.add("Max_Input_Len=" + std::to_string(lengths.inputLength));
    gsd.add("Max_Output_Len=" + std::to_string(lengths.outputLength));
    gsd.add("Max_Data_Len=" + std::to_string(lengths.inputLength + lengths.outputLength));
    gsd.add("Max_Diag_Data_Len=18");
    gsd.empty();
    gsd.add({"WD_Base_1ms_supp = 1", "Publisher_supp = 1"});
    gsd.empty();

    gsd.section(";==== User-Prm-Data ", 79);
    gsd.empty();
    gsd.add({"Max_User_Prm_Data_Len = 12", "Ext_User_Prm_Data_Const(0)= 0x00,0x00,0x00"});
    gsd.empty();

    gsd.section(";==== Modulstatus ", 79);
    gsd.empty();
    gsd.add({"Unit_Diag_Area = 24 - 25", "Value(1)= \"Slot 1: Module error\"", "Value(2)= \"Slot 1: Wrong module\"",
             "Value(3)= \"Slot 1: No module\"", "Unit_Diag_Area_End"});
    gsd.add({"Unit_Diag_Area = 26 - 27", "Value(1)= \"Slot 2: Module error\"", "Value(2)= \"Slot 2: Wrong module\"",
             "Value(3)= \"Slot 2: No module\"", "Unit_Diag_Area_End"});
    gsd.empty(2);
}

// The byte after the identifier: data length minus one, 0x3F for a full module.
std::string lengthByte(const GsdModule& module) {
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned>(module.size - 1));
    return hex;
}

void addModules(GsdLines& gsd, const std::vector<GsdModule>& modules) {
    gsd.section(";==== Module-Definition-List ", 79);
    gsd.empty();
    for (const GsdModule& module : modules) {
        const std::string m = std::to_string(module.number);
        const char* identifier = module.direction == GsdModule::Direction::Input ? "0x42" : "0x82";
        gsd.add("Module=\"" + module.name() + "    \" " + identifier + ",0x" + lengthByte(module) + ",0x00,0x0" + m);
        gsd.add(m);
        gsd.add("EndModule");
    }
    gsd.empty(3);

    gsd.add("SlotDefinition");
    for (std::size_t slot = 1; slot <= modules.size(); ++slot) {
        const std::string s = std::to_string(slot);
        gsd.add("Slot(" + s + ") = \"Slot " + s + "\" " + s + " " + s);
    }
    gsd.add("EndSlotDefinition");
    gsd.empty(4);
}

}  // namespace

std::string GsdModule::name() const {
    return std::string(direction == Direction::Input ? "DI" : "DO") + "  (PORT" + std::to_string(number) + ")";
}

std::vector<GsdModule> gsdModules(const ProfibusLengths& lengths) {
    std::vector<GsdModule> modules;
    const auto addDirection = [&](GsdModule::Direction direction, std::int32_t length) {
        for (std::int32_t first = 0; first < length; first += kModuleSize) {
            const auto number = static_cast<std::int32_t>(modules.size()) + 1;
            modules.push_back({direction, number, first, std::min(kModuleSize, length - first)});
        }
    };
    addDirection(GsdModule::Direction::Input, lengths.inputLength);
    addDirection(GsdModule::Direction::Output, lengths.outputLength);
    return modules;
}

std::int32_t moduleCount(std::int32_t length) {
    return length <= 0 ? 0 : (length + kModuleSize - 1) / kModuleSize;
}

ProfibusLengths profibusLengths(std::int32_t inputLength, std::int32_t outputLength) {
    return {inputLength, outputLength, moduleCount(inputLength), moduleCount(outputLength)};
}

ProfibusLengths ReadProfibusLengths(const std::string& projectDir) {
    const documents::AreaSizes sizes = base::locatedAt(documents::kPargenFileName, [&] {
        return documents::readAreaSizes(platform::joinPath(projectDir, documents::kPargenFileName), 0);
    });
    // The master reads what the gateway outputs, and writes what it inputs.
    return profibusLengths(sizes.nByteOut, sizes.nByteIn);
}

std::vector<std::string> unfoundSizeMessages(const std::optional<documents::StoredSettings>& settings,
                                             const std::string& pargenPath) {
    std::vector<std::string> messages;
    if (!settings) return messages;
    const std::string file = documents::kPargenFileName;
    if (!settings->firstNodeIsParGen && !settings->text(documents::kProfiNbIn) &&
        !settings->text(documents::kProfiNbOut)) {
        messages.push_back(file + ": the first node of \"" + pargenPath + "\" is not the element " +
                           documents::kPargenRoot + ", so " + documents::kProfiNbIn + " and " + documents::kProfiNbOut +
                           " were not found: the GSD file counts both areas as 0 bytes");
        return messages;
    }
    for (const auto& [element, name] :
         {std::pair{documents::kProfiNbIn, "N Byte IN"}, std::pair{documents::kProfiNbOut, "N Byte OUT"}}) {
        const std::optional<std::string>& text = settings->text(element);
        if (!text) {
            messages.push_back(file + ": " + element + " not found in \"" + pargenPath + "\": the GSD file counts " +
                               name + " as 0 bytes");
        } else if (!base::parseIntegerText(*text)) {
            messages.push_back(file + ": " + element + " '" + base::shortenedForMessage(*text) +
                               "' is not a number: the GSD file counts " + name + " as 0 bytes");
        }
    }
    return messages;
}

std::string gsdText(const ProfibusLengths& lengths) {
    // Beyond 244 bytes no master takes the slave, and the module lines could
    // not say it: refuse with the message the settings window gives.
    const auto fits = [](std::int32_t length) { return length >= 0 && length <= documents::kMaxAreaSize; };
    if (!fits(lengths.outputLength)) throw std::runtime_error(documents::kNByteInMessage);
    if (!fits(lengths.inputLength)) throw std::runtime_error(documents::kNByteOutMessage);
    const ProfibusLengths checked = profibusLengths(lengths.inputLength, lengths.outputLength);

    GsdLines gsd;
    addHeader(gsd);
    addParameterTexts(gsd);
    addKeywords(gsd, checked);
    addModules(gsd, gsdModules(checked));
    return gsd.text();
}

void WriteGsdFile(const std::string& projectDir, const std::string& fileName) {
    const std::string text = gsdText(ReadProfibusLengths(projectDir));
    platform::writeFileAtomically(fileName, text);
}

}  // namespace outputs
