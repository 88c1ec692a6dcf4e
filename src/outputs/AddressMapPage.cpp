#include "outputs/AddressMapPage.h"

#include <string_view>
#include <vector>

#include "platform/FileSystem.h"

namespace outputs {
namespace {

constexpr int kCellsPerLine = 16;
constexpr int kCellWidth = 40;
constexpr int kCellHeight = 34;
constexpr int kLabelWidth = 104;  // left of the cells: module names and first positions
constexpr int kTopMargin = 16;    // above the cells: the column numbers
constexpr const char* kUnusedColour = "#D9D9D9";
constexpr const char* kFrameColour = "#8C8C8C";
// Keeps a label readable on the red hatching: a white outline under the glyphs.
constexpr const char* kOnHatch = " stroke=\"#FFFFFF\" stroke-width=\"3\" paint-order=\"stroke\"";

constexpr const char* kStyle = R"(
@page { size: A4; margin: 12mm; }
* { -webkit-print-color-adjust: exact; print-color-adjust: exact; }
body { background: #F8F7ED; color: #333333; font-family: Verdana, "DejaVu Sans", sans-serif; font-size: 10pt;
       margin: 16px auto; max-width: 186mm; }
h1 { font-size: 15pt; margin: 0 0 4px 0; }
h2 { font-size: 12pt; margin: 16px 0 4px 0; }
p { margin: 2px 0; }
.area { break-inside: avoid; page-break-inside: avoid; }
svg { display: block; width: 100%; height: auto; margin: 6px 0; }
svg text { font-family: Verdana, "DejaVu Sans", sans-serif; fill: #333333; }
.legend span { display: inline-block; width: 12px; height: 12px; border: 1px solid #8C8C8C;
               vertical-align: middle; margin: 0 4px 0 12px; }
table { border-collapse: collapse; width: 100%; font-size: 8.5pt; margin-bottom: 8px; }
thead { display: table-header-group; }
tr { break-inside: avoid; page-break-inside: avoid; }
th, td { border: 1px solid #BFBFBF; padding: 2px 5px; text-align: left; white-space: nowrap; }
th { background: #E8E6D6; }
td.number { text-align: right; }
td.module { white-space: pre; }
td.mnemonic { white-space: normal; }
td.swatch { width: 10px; padding: 0; }
ul.findings { padding-left: 18px; font-size: 9pt; }
ul.findings li { color: #A00000; white-space: pre-wrap; }
@media print { body { background: #FFFFFF; margin: 0; max-width: none; } }
)";

std::string escaped(std::string_view text) {
    std::string out;
    for (const char c : oneLine(std::string(text))) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            default: out += c;
        }
    }
    return out;
}

// One colour per row, spread round the colour wheel so that neighbouring rows
// differ; light enough for black labels.
std::string rowColour(std::size_t row) {
    const unsigned hue = static_cast<unsigned>((row * 137.508) + 200) % 360;
    return "hsl(" + std::to_string(hue) + ", 70%, " + (row % 2 == 0 ? "78%" : "70%") + ")";
}

// The label of a cell: a register that is no valid number keeps a few of its
// stored characters.
std::string shortRegister(const MappedRow& row) {
    if (row.address) return std::to_string(*row.address);
    return row.addressText.size() > 6 ? row.addressText.substr(0, 5) + "~" : row.addressText;
}

std::string text(int x, int y, int size, std::string_view anchor, std::string_view content,
                 std::string_view extra = "") {
    return "<text x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) + "\" font-size=\"" + std::to_string(size) +
           "\" text-anchor=\"" + std::string(anchor) + "\"" + std::string(extra) + ">" + std::string(content) +
           "</text>";
}

void addPicture(std::vector<std::string>& page, const AreaMap& area, const ProfibusLengths& lengths) {
    const int lines = (area.size + kCellsPerLine - 1) / kCellsPerLine;
    const int width = kLabelWidth + kCellsPerLine * kCellWidth + 2;
    const int height = kTopMargin + lines * kCellHeight + 2;
    page.push_back("<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " + std::to_string(width) + " " +
                   std::to_string(height) + "\" width=\"" + std::to_string(width) + "\" height=\"" +
                   std::to_string(height) + "\" role=\"img\" aria-label=\"Bytes of " + escaped(area.caption) + "\">");
    page.push_back(
        "<defs><pattern id=\"twice\" patternUnits=\"userSpaceOnUse\" width=\"6\" height=\"6\" "
        "patternTransform=\"rotate(45)\"><rect width=\"6\" height=\"6\" fill=\"#FFD6D6\"/>"
        "<rect width=\"3\" height=\"6\" fill=\"#D00000\"/></pattern></defs>");
    for (int column = 0; column < kCellsPerLine; ++column) {
        page.push_back(text(kLabelWidth + column * kCellWidth + kCellWidth / 2, kTopMargin - 4, 9, "middle",
                            std::to_string(column)));
    }

    for (int byte = 0; byte < area.size; ++byte) {
        const int x = kLabelWidth + (byte % kCellsPerLine) * kCellWidth;
        const int y = kTopMargin + (byte / kCellsPerLine) * kCellHeight;
        const std::vector<ByteUse>& uses = area.uses[static_cast<std::size_t>(byte)];
        std::string fill = kUnusedColour, label, mark, title = "byte " + std::to_string(byte);
        if (const std::optional<ModulePlace> place = placeOf(lengths, area.area, byte)) {
            title += ", " + place->module + " offset " + std::to_string(place->offset);
        }
        if (uses.empty()) title += ": used by no row";
        for (std::size_t u = 0; u < uses.size(); ++u) {
            const MappedRow& row = area.rows[uses[u].row];
            label += (u == 0 ? "" : "/") + shortRegister(row);
            mark += (u == 0 ? "" : "/") + std::string(uses[u].high ? "H" : "L");
            title += (u == 0 ? ": " : "; ") + std::string("row ") + std::to_string(row.number) +
                     (uses[u].high ? " high" : " low") + ", register " + registerText(row) +
                     (row.mnemonic.empty() ? "" : ", " + row.mnemonic);
        }
        if (uses.size() == 1) fill = rowColour(uses.front().row);
        if (uses.size() > 1) fill = "url(#twice)";
        page.push_back("<g><title>" + escaped(title) + "</title><rect x=\"" + std::to_string(x) + "\" y=\"" +
                       std::to_string(y) + "\" width=\"" + std::to_string(kCellWidth) + "\" height=\"" +
                       std::to_string(kCellHeight) + "\" fill=\"" + fill + "\" stroke=\"" + kFrameColour +
                       "\" stroke-width=\"0.6\"/>");
        page.push_back(text(x + 3, y + 9, 7, "start", std::to_string(byte), " fill-opacity=\"0.7\""));
        if (!label.empty()) {
            page.push_back(text(x + kCellWidth / 2, y + 22, label.size() > 6 ? 7 : 10, "middle", escaped(label),
                                " font-weight=\"bold\"" + std::string(uses.size() > 1 ? kOnHatch : "")));
            page.push_back(text(x + kCellWidth - 3, y + kCellHeight - 3, 7, "end", mark));
        }
        page.push_back("</g>");
    }

    // A module's first byte always starts a line of cells: 64 is a multiple of 16.
    const GsdModule::Direction direction =
        area.area == AccessArea::In ? GsdModule::Direction::Output : GsdModule::Direction::Input;
    for (const GsdModule& module : gsdModules(lengths)) {
        if (module.direction != direction) continue;
        const int y = kTopMargin + (module.firstByte / kCellsPerLine) * kCellHeight;
        const int lastLine = (module.firstByte + module.size - 1) / kCellsPerLine;
        const int bottom = kTopMargin + (lastLine + 1) * kCellHeight;
        page.push_back("<line x1=\"2\" y1=\"" + std::to_string(y) + "\" x2=\"" + std::to_string(width - 1) +
                       "\" y2=\"" + std::to_string(y) + "\" stroke=\"#333333\" stroke-width=\"2\"/>");
        page.push_back("<line x1=\"2\" y1=\"" + std::to_string(y) + "\" x2=\"2\" y2=\"" + std::to_string(bottom) +
                       "\" stroke=\"#333333\" stroke-width=\"2\"/>");
        page.push_back(text(8, y + 15, 11, "start", module.name(), " font-weight=\"bold\" xml:space=\"preserve\""));
        page.push_back(text(
            8, y + 28, 8, "start",
            "bytes " + std::to_string(module.firstByte) + " to " + std::to_string(module.firstByte + module.size - 1)));
    }
    page.push_back("<line x1=\"2\" y1=\"" + std::to_string(height - 1) + "\" x2=\"" + std::to_string(width - 1) +
                   "\" y2=\"" + std::to_string(height - 1) + "\" stroke=\"#333333\" stroke-width=\"2\"/>");
    page.push_back("</svg>");
}

std::string cell(std::string_view content, std::string_view kind = "") {
    return kind.empty() ? "<td>" + std::string(content) + "</td>"
                        : "<td class=\"" + std::string(kind) + "\">" + std::string(content) + "</td>";
}

void addTable(std::vector<std::string>& page, const AreaMap& area) {
    page.push_back("<h2>" + escaped(area.caption) + "</h2>");
    if (area.rows.empty()) {
        page.push_back("<p>(no rows)</p>");
        return;
    }
    page.push_back(
        "<table><thead><tr><th></th><th>Row</th><th>Register</th><th>High</th><th>Module</th><th>Offset</th>"
        "<th>Low</th><th>Module</th><th>Offset</th><th>Mnemonic</th></tr></thead><tbody>");
    for (std::size_t i = 0; i < area.rows.size(); ++i) {
        const MappedRow& row = area.rows[i];
        page.push_back("<tr><td class=\"swatch\" style=\"background: " + rowColour(i) + "\"></td>" +
                       cell(std::to_string(row.number), "number") + cell(escaped(registerText(row))) +
                       cell(escaped(positionText(row.high)), "number") + cell(escaped(moduleText(row.high)), "module") +
                       cell(offsetText(row.high), "number") + cell(escaped(positionText(row.low)), "number") +
                       cell(escaped(moduleText(row.low)), "module") + cell(offsetText(row.low), "number") +
                       cell(escaped(row.mnemonic), "mnemonic") + "</tr>");
    }
    page.push_back("</tbody></table>");
}

}  // namespace

std::string addressMapPage(const AddressMap& map) {
    std::vector<std::string> page = {"<!DOCTYPE html>",
                                     "<html lang=\"en\">",
                                     "<head>",
                                     "<meta charset=\"utf-8\">",
                                     "<title>Address map of " + escaped(map.project) + "</title>",
                                     "<style>" + std::string(kStyle) + "</style>",
                                     "</head>",
                                     "<body>",
                                     "<h1>Address map</h1>",
                                     "<p>Project: " + escaped(map.project) + "</p>",
                                     "<p>GSD file: Max_Input_Len=" + std::to_string(map.lengths.inputLength) +
                                         " (N Byte OUT), Max_Output_Len=" + std::to_string(map.lengths.outputLength) +
                                         " (N Byte IN)</p>",
                                     "<p class=\"legend\">Cells: register of the row, H or L for its high or low "
                                     "byte.<span style=\"background: " +
                                         std::string(kUnusedColour) +
                                         "\"></span>used by no row<span style=\"background: repeating-linear-"
                                         "gradient(45deg, #D00000 0 2px, #FFD6D6 2px 4px)\"></span>used twice</p>"};
    for (const AreaMap* area : {&map.in, &map.out}) {
        const bool in = area->area == AccessArea::In;
        page.push_back("<section class=\"area\">");
        page.push_back("<h2>" + escaped(area->caption) + "</h2>");
        page.push_back("<p>" + std::to_string(area->size) + " bytes of " +
                       (in ? "N Byte IN, the master's output (DO modules)"
                           : "N Byte OUT, the master's input (DI "
                             "modules)") +
                       "</p>");
        if (area->size > 0) addPicture(page, *area, map.lengths);
        page.push_back("</section>");
    }
    addTable(page, map.in);
    addTable(page, map.out);
    if (!map.warnings.empty()) {
        page.push_back("<h2>Findings</h2>");
        page.push_back("<ul class=\"findings\">");
        for (const std::string& warning : map.warnings) page.push_back("<li>" + escaped(warning) + "</li>");
        page.push_back("</ul>");
    }
    page.push_back("</body>");
    page.push_back("</html>");

    // The style sheet holds line breaks of its own.
    std::string html;
    for (const std::string& line : page) {
        for (const char c : line) html += c == '\n' ? std::string("\r\n") : std::string(1, c);
        html += "\r\n";
    }
    return html;
}

void writeAddressMapPage(const AddressMap& map, const std::string& fileName) {
    platform::writeFileAtomically(fileName, addressMapPage(map));
}

}  // namespace outputs
