#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "platform/SerialDevice.h"
#include "support/TestFiles.h"
#include "update/ComPortList.h"
#include "update/CommPort.h"

// The Windows serial services on real COM ports. Under Wine a COM port is a
// link to a terminal device (dosdevices/comN): scripts/test-windows.sh links
// some to pseudo-terminals and names them in TESSARO_TEST_COM_PORTS, a port
// below 10 first and one above 9 second ("COM5 COM12").
namespace {

std::vector<std::string> testPorts() {
    const char* names = std::getenv("TESSARO_TEST_COM_PORTS");
    std::vector<std::string> ports;
    std::istringstream list(names ? names : "");
    for (std::string port; list >> port;) ports.push_back(port);
    return ports;
}

class WindowsComPorts : public ::testing::Test {
protected:
    void SetUp() override {
        ports = testPorts();
        ASSERT_GE(ports.size(), 2u) << "TESSARO_TEST_COM_PORTS names no ports: run scripts/test-windows.sh";
    }
    std::vector<std::string> ports;
};

int portNumber(const std::string& port) {
    return std::atoi(port.c_str() + 3);
}

template <typename Action>
std::string commErrorOf(Action action, int& code) {
    try {
        action();
    } catch (const update::ECommError& e) {
        code = e.ErrorCode();
        return e.what();
    }
    return "no failure";
}

TEST_F(WindowsComPorts, TheProbeListsThePortsPresentInNumberOrder) {
    const std::vector<std::string> listed = update::EnumerateComPorts();
    for (const std::string& port : ports)
        EXPECT_NE(std::find(listed.begin(), listed.end(), port), listed.end()) << port << " is not listed";
    EXPECT_TRUE(std::is_sorted(listed.begin(), listed.end(), [](const std::string& a, const std::string& b) {
        return portNumber(a) < portNumber(b);
    }));
    for (const std::string& port : listed) EXPECT_EQ(port, "COM" + std::to_string(portNumber(port)));
}

// (A second open of a held port is refused with access denied on Windows;
// Wine does not refuse it, so only the listing is checked here.)
TEST_F(WindowsComPorts, APortHeldOpenIsStillListed) {
    int error = 0;
    const auto held = platform::systemSerialPortServices()->openDevice(ports[0], error);
    ASSERT_NE(held, nullptr) << "error " << error;
    const std::vector<std::string> listed = update::EnumerateComPorts();
    EXPECT_NE(std::find(listed.begin(), listed.end(), ports[0]), listed.end());
    held->close();
}

TEST_F(WindowsComPorts, ThePortOpensByItsListEntry) {
    for (const std::string& name : ports) {
        update::TComm port;
        port.SetDeviceName(name);  // "COM12" as listed, not "\\.\COM12"
        port.SetBaudRate(update::br19200);
        ASSERT_NO_THROW(port.Open()) << name;
        EXPECT_TRUE(port.IsOpen());
        port.Close();
        EXPECT_FALSE(port.IsOpen());
    }
}

TEST_F(WindowsComPorts, LineSettingsGoToTheDriverAndBack) {
    int error = 0;
    const auto device = platform::systemSerialPortServices()->openDevice(ports[1], error);
    ASSERT_NE(device, nullptr) << "error " << error;
    EXPECT_TRUE(device->isCharacterDevice());
    platform::DataControlBlock settings;
    ASSERT_EQ(device->getLineSettings(settings), 0);
    // A pseudo-terminal keeps 8 data bits and no parity whatever it is told,
    // so those are not asked of it.
    settings.BaudRate = 19200;
    settings.StopBits = platform::dcb::kTwoStopBits;
    settings.Flags = platform::dcb::fBinary | platform::dcb::fOutX | platform::dcb::fInX;
    settings.XonChar = 17;
    settings.XoffChar = 19;
    ASSERT_EQ(device->setLineSettings(settings), 0);

    platform::DataControlBlock back;
    ASSERT_EQ(device->getLineSettings(back), 0);
    EXPECT_EQ(back.BaudRate, 19200u);
    EXPECT_EQ(back.StopBits, platform::dcb::kTwoStopBits);
    EXPECT_TRUE(back.Flags & platform::dcb::fOutX);
    EXPECT_TRUE(back.Flags & platform::dcb::fInX);
    EXPECT_FALSE(back.Flags & platform::dcb::fOutxCtsFlow);
    device->close();
    EXPECT_NE(device->getLineSettings(back), 0) << "a closed device refuses every operation";
    EXPECT_EQ(device->waitEvent(), 0u);
}

TEST(WindowsComPortErrors, AnUnknownPortGivesThePlatformsCode) {
    update::TComm port;
    port.SetDeviceName("COM250");
    int code = 0;
    EXPECT_EQ(commErrorOf([&] { port.Open(); }, code), "Error accessing specified device (Error: 2) ");
    EXPECT_EQ(code, ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(port.IsOpen());
}

TEST(WindowsComPortErrors, AFileIsNoCharacterDevice) {
    testing_support::TempDir dir;
    testing_support::writeFile(dir / "not-a-port", "x");
    update::TComm port;
    port.SetDeviceName(dir / "not-a-port");
    int code = 0;
    EXPECT_EQ(commErrorOf([&] { port.Open(); }, code), "Invalid device handle, access denied (Error: -1) ");
    EXPECT_FALSE(port.IsOpen());
}

}  // namespace
