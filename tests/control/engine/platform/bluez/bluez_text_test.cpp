// How the BlueZ backend reads bluetoothd's names: object paths, addresses,
// UUID texts, characteristic flags and error names.
#include <gtest/gtest.h>

#include <string>

#include "platform/bluez/bluez_text.h"
#include "platform/gatt_constants.h"

namespace vornik::bluez {
namespace {

using platform::GattStatus;

TEST(BluezText, HandlesComeFromTheLastPathElementOnly)
{
    struct Row {
        std::string path;
        std::string kind;
        std::optional<std::uint16_t> handle;
    };
    const std::string dev = "/org/bluez/hci0/dev_E8_C0_4D_00_04_04";
    for (const Row& row : {
             Row{dev + "/service000a", "service", 0x000A},
             Row{dev + "/service000a/char000b", "char", 0x000B},
             Row{dev + "/service000a/char000b/desc000D", "desc", 0x000D},
             Row{dev + "/serviceffff", "service", 0xFFFF},
             Row{dev + "/service000a/char000b", "service", std::nullopt}, // not a service
             Row{dev + "/service00a", "service", std::nullopt},           // three digits
             Row{dev + "/service0000a", "service", std::nullopt},         // five digits
             Row{dev + "/service00g0", "service", std::nullopt},
             Row{"", "char", std::nullopt},
             Row{"char", "char", std::nullopt},
         }) {
        EXPECT_EQ(HandleFromPath(row.path, row.kind), row.handle) << row.path;
    }
}

TEST(BluezText, AddressesRoundTripAndRejectOtherTexts)
{
    EXPECT_EQ(ParseAddress("E8:C0:4D:00:04:04"), 0xE8C04D000404u);
    EXPECT_EQ(ParseAddress("e8:c0:4d:00:04:04"), 0xE8C04D000404u);
    EXPECT_EQ(FormatAddress(0xE8C04D000404u), "E8:C0:4D:00:04:04");
    EXPECT_EQ(FormatAddress(0), "00:00:00:00:00:00");
    for (const char* bad : {"", "E8:C0:4D:00:04", "E8:C0:4D:00:04:04:", "E8-C0-4D-00-04-04", "E8:C0:4D:00:04:0G",
                            "E8C04D000404", "E8:C0:4D:00:04:4 "})
        EXPECT_EQ(ParseAddress(bad), std::nullopt) << bad;
}

TEST(BluezText, UuidsParseInEitherCaseAndFormatInLowerCase)
{
    const auto uuid = ParseUuid("0000FFF0-0000-1000-8000-00805f9b34fb");
    ASSERT_TRUE(uuid);
    EXPECT_EQ(*uuid, Uuid::FromShort(0xFFF0));
    EXPECT_EQ(FormatUuid(*uuid), "0000fff0-0000-1000-8000-00805f9b34fb");
    for (const char* bad :
         {"", "0000fff0", "0000fff0-0000-1000-8000-00805f9b34f", "0000fff0x0000-1000-8000-00805f9b34fb",
          "0000fff0-0000-1000-8000-00805f9b34fbb", "0000fff0-0000-1000-8000-00805f9b34fz"})
        EXPECT_EQ(ParseUuid(bad), std::nullopt) << bad;
}

TEST(BluezText, FlagsBecomePropertyBits)
{
    namespace prop = platform::prop;
    EXPECT_EQ(PropertiesFromFlags({"read", "write-without-response", "write", "notify", "indicate"}),
              prop::kRead | prop::kWriteWithoutResponse | prop::kWrite | prop::kNotify | prop::kIndicate);
    EXPECT_EQ(PropertiesFromFlags({"reliable-write"}), prop::kReliableWrites | prop::kExtendedProperties);
    EXPECT_EQ(PropertiesFromFlags({"broadcast", "authenticated-signed-writes", "writable-auxiliaries"}),
              prop::kBroadcast | prop::kAuthenticatedSignedWrites | prop::kWritableAuxiliaries |
                  prop::kExtendedProperties);
    EXPECT_EQ(PropertiesFromFlags({"encrypt-read", "secure-write", "", "READ"}), 0);
}

TEST(BluezText, ErrorsKeepTheirWordsAndMapToStatusAndAttCode)
{
    struct Row {
        std::string name;
        std::string message;
        Request request;
        GattStatus status;
        std::optional<std::uint8_t> code;
    };
    const std::vector<Row> rows = {
        {"org.bluez.Error.NotPermitted", "Read not permitted", Request::Write, GattStatus::ProtocolError, 0x02},
        {"org.bluez.Error.NotPermitted", "Write not permitted", Request::Read, GattStatus::ProtocolError, 0x03},
        {"org.bluez.Error.NotPermitted", "", Request::Write, GattStatus::ProtocolError, 0x03},
        {"org.bluez.Error.Failed", "Operation failed with ATT error: 0x0e", Request::Read, GattStatus::ProtocolError,
         0x0E},
        {"org.bluez.Error.Failed", "ATT error: 0xF", Request::Read, GattStatus::ProtocolError, 0x0F},
        {"org.bluez.Error.Failed", "ATT error: 0x", Request::Read, GattStatus::Unreachable, std::nullopt},
        {"org.bluez.Error.Failed", "ATT error: 0xzz", Request::Read, GattStatus::Unreachable, std::nullopt},
        // Code 0 is success in ATT: a failure never reports it (found by fuzzing).
        {"org.bluez.Error.Failed", "ATT error: 0x00", Request::Read, GattStatus::Unreachable, std::nullopt},
        {"org.bluez.Error.Failed", "ATT error: 0x0", Request::Write, GattStatus::Unreachable, std::nullopt},
        {"org.bluez.Error.Failed", "", Request::Other, GattStatus::Unreachable, std::nullopt},
        {"org.bluez.Error.InvalidArguments", "", Request::Write, GattStatus::ProtocolError, 0x04},
        {"org.bluez.Error.AuthenticationRejected", "", Request::Other, GattStatus::AccessDenied, std::nullopt},
        {"org.freedesktop.DBus.Error.ServiceUnknown", "gone", Request::Read, GattStatus::Unreachable, std::nullopt},
        {"", "", Request::Read, GattStatus::Unreachable, std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name + " " + row.message);
        const auto result = MapError(row.name, row.message, row.request);
        EXPECT_EQ(result.status, row.status);
        EXPECT_EQ(result.protocolError, row.code);
        EXPECT_EQ(result.detail, row.message.empty() ? row.name : row.name + ": " + row.message);
    }
}

} // namespace
} // namespace vornik::bluez
