#include "errors.h"

#include <gtest/gtest.h>

namespace vornik {
namespace {

struct AttCase {
    int att;
    int code;
    const char* text;
};

void PrintTo(const AttCase& c, std::ostream* os)
{
    *os << "ATT " << c.att;
}

class AttMapping : public ::testing::TestWithParam<AttCase> {};

TEST_P(AttMapping, GivesCodeAndText)
{
    const AttCase& c = GetParam();
    Status status = AttError(static_cast<std::uint8_t>(c.att));
    EXPECT_EQ(status.code, c.code) << c.att;
    EXPECT_EQ(status.text, c.text) << c.att;
}

#define P(n) "Protocol error returned during communication: [" #n "] {" #n "}. "

INSTANTIATE_TEST_SUITE_P(
    EveryRow, AttMapping,
    ::testing::Values(
        AttCase{0x01, 701, P(1) "Invalid handle."}, AttCase{0x02, 702, P(2) "Read not permitted."},
        AttCase{0x03, 703, P(3) "Write not permitted."}, AttCase{0x04, 704, P(4) "Invalid PDU."},
        AttCase{0x05, 705, P(5) "Insufficient authentication."}, AttCase{0x06, 706, P(6) "Request not supported."},
        AttCase{0x07, 707, P(7) "Invalid offset."}, AttCase{0x08, 708, P(8) "Insufficient authorization."},
        AttCase{0x09, 709, P(9) "Prepare queue full."}, AttCase{0x0A, 710, P(10) "Attribute not found."},
        AttCase{0x0B, 711, P(11) "Attribute not long."},
        AttCase{0x0C, 712, P(12) "Insufficient encryption key size."},
        AttCase{0x0D, 713, P(13) "Invalid attribute value length."}, AttCase{0x0E, 714, P(14) "Unlikely error."},
        AttCase{0x0F, 715, P(15) "Insufficient encryption."}, AttCase{0x10, 716, P(16) "Unsupported group type."},
        AttCase{0x11, 717, P(17) "Insufficient resources."},
        AttCase{0x80, 612,
                P(128) "Application-specific protocol error {128 (0x80) returned during communication. Consult the "
                "remote device's documentation for more information."},
        AttCase{0x85, 612,
                P(133) "Application-specific protocol error {133 (0x85) returned during communication. Consult the "
                "remote device's documentation for more information."},
        AttCase{0x9F, 612,
                P(159) "Application-specific protocol error {159 (0x9f) returned during communication. Consult the "
                "remote device's documentation for more information."},
        AttCase{0xFC, 952, P(252) "Write request rejected."},
        AttCase{0xFD, 953, P(253) "Client characteristic configuration descriptor (CCCD) improperly configured."},
        AttCase{0xFE, 954, P(254) "A procedure is already in progress."},
        AttCase{0xFF, 955, P(255) "Attribute value is out of range."},
        AttCase{0x00, 606, P(0) "Unknown protocol error 0 (0x0) returned during communication."},
        AttCase{0x12, 606, P(18) "Unknown protocol error 18 (0x12) returned during communication."},
        AttCase{0x42, 606, P(66) "Unknown protocol error 66 (0x42) returned during communication."},
        AttCase{0xA0, 606, P(160) "Unknown protocol error 160 (0xa0) returned during communication."},
        AttCase{0xFB, 606, P(251) "Unknown protocol error 251 (0xfb) returned during communication."}));

#undef P

TEST(ErrorTexts, LookupsQuoteTheIds)
{
    EXPECT_EQ(NoServiceError("000C00000000").text, "No service with the ID \"000C00000000\" has been discovered.");
    EXPECT_EQ(NoCharacteristicError("000C000E0000", "000C00000000").text,
              "No characteristic with the ID \"000C000E0000\" has been discovered for the service with ID "
              "\"000C00000000\".");
    EXPECT_EQ(NoDescriptorError("000C000E0010", "000C000E0000").text,
              "No descriptor with the ID \"000C000E0010\" has been discovered for the characteristic with ID "
              "\"000C000E0000\".");
    EXPECT_EQ(NoServiceError("X").code, 601);
    EXPECT_EQ(InvalidIndexError().text, "Index '{0}' is invalid for {1}.");
    EXPECT_EQ(NoServiceDataError("0000180A-0000-1000-8000-00805F9B34FB").text,
              "No service data in advertisement for UUID 0000180A-0000-1000-8000-00805F9B34FB.");
    EXPECT_EQ(ConnectFailedError("A4C138F0B27D").text, "Connection to server ID A4C138F0B27D was unsuccessful.");
    EXPECT_EQ(NoUserDescriptionError("000C000E0000").text,
              "Characteristic with ID \"000C000E0000\" does not have a Characteristic User Description descriptor "
              "despite having the 'Writable Auxiliaries' flag set.");
}

}  // namespace
}  // namespace vornik
