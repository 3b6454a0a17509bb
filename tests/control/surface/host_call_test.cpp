// The hosts' call helper over the C interface: every way of calling under
// every kind of failure reports the control's error record, never success,
// and leaves no result behind.
#include "abi_helpers.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace vornik::test {
namespace {

using host::Args;
using host::Caller;
using host::Error;

struct Fault {
    const char* name;
    bool withControl;
    std::int32_t dispid;
    Args args;
};

struct Request {
    const char* name;
    bool fillsResult;
    std::function<bool(const Caller&, std::int32_t, const Args&, host::Result&, Error&)> run;
};

TEST(HostCall, EveryRequestUnderEveryFaultReportsTheErrorRecord)
{
    const Fault faults[] = {
        {"no control", false, VORNIK_DISPID_Timeout, Args()},
        {"unknown member", true, 4711, Args()},
        {"too many arguments", true, VORNIK_DISPID_Timeout, Args().Short(1).Short(2).Short(3)},
        {"index out of range", true, VORNIK_DISPID_CharacteristicSubscribed, Args().Short(99)},
        {"not a number", true, VORNIK_DISPID_CharacteristicSubscribed, Args().Text("many").Bool(true)},
    };
    const Request requests[] = {
        {"call", true,
         [](const Caller& c, std::int32_t id, const Args& a, host::Result& r, Error& e) {
             return c.Call(id, a, &r, &e);
         }},
        {"get", true,
         [](const Caller& c, std::int32_t id, const Args& a, host::Result& r, Error& e) {
             return c.Get(id, a, r, &e);
         }},
        {"put", false,
         [](const Caller& c, std::int32_t id, const Args& a, host::Result&, Error& e) { return c.Put(id, a, &e); }},
    };
    Control control;
    ASSERT_EQ(control.created(), VORNIK_S_OK);
    for (const Fault& fault : faults)
        for (const Request& request : requests) {
            const Caller caller(LinkedApi(), fault.withControl ? control.get() : nullptr);
            Result result;
            ASSERT_EQ(caller.Get(VORNIK_DISPID_Timeout, Args(), result), fault.withControl); // a result to replace
            Error error;
            EXPECT_FALSE(request.run(caller, fault.dispid, fault.args, result, error))
                << fault.name << " / " << request.name;
            EXPECT_LT(error.hresult, 0) << fault.name << " / " << request.name;
            EXPECT_FALSE(error.description.empty()) << fault.name << " / " << request.name;
            if (request.fillsResult) {
                EXPECT_EQ(result.Type(), VORNIK_VT_EMPTY) << fault.name << " / " << request.name;
            }
            if (!fault.withControl) {
                EXPECT_EQ(error.hresult, VORNIK_E_POINTER);
            } else {
                const ErrorRecord record = lastError();
                EXPECT_EQ(static_cast<std::uint32_t>(error.hresult), record.hresult)
                    << fault.name << " / " << request.name;
                EXPECT_EQ(error.description, record.description) << fault.name << " / " << request.name;
                EXPECT_EQ(error.number, record.number) << fault.name << " / " << request.name;
                EXPECT_EQ(error.helpContext, record.helpContext) << fault.name << " / " << request.name;
            }
        }
}

TEST(HostCall, ErrorTextCarriesTheNumberAndAFailureWithoutRecordStillHasOne)
{
    Control control;
    Error error;
    EXPECT_FALSE(control.caller().Call(VORNIK_DISPID_Config, Args().Text("Nope"), nullptr, &error));
    EXPECT_EQ(error.Text(), "Unknown config setting. (20000)");
    // A successful call clears the record; a failure code without one is
    // still described.
    ASSERT_EQ(control.config("LogLevel"), "1");
    const Error described = host::LastError(LinkedApi(), VORNIK_E_FAIL);
    EXPECT_EQ(described.hresult, VORNIK_E_FAIL);
    EXPECT_EQ(described.description, "Call failed with 0x80004005.");
}

TEST(HostCall, ArgumentsKeepTheirTextWhileMoreAreAdded)
{
    Args args;
    std::vector<std::string> expected;
    for (int i = 0; i < 40; ++i) {
        expected.push_back(std::string(static_cast<std::size_t>(i) * 7, static_cast<char>('a' + i % 26)));
        args.Text(expected.back());
    }
    args.Short(7).Bytes(std::string("\x01\x00\x02", 3));
    expected.push_back(std::string("\x01\x00\x02", 3));
    // Copies and moves point at their own strings once the source is gone.
    auto source = std::make_unique<Args>(args);
    const Args copied = *source;
    Args assigned;
    assigned = *source;
    Args moved = Args(*source);
    source.reset();
    const Args* kept[] = {&args, &copied, &assigned, &moved};
    for (const Args* held : kept) {
        ASSERT_EQ(held->Count(), 42);
        EXPECT_EQ(held->Data()[40].i, 7);
        for (int i = 0, text = 0; i < held->Count(); ++i) {
            if (i != 40) {
                EXPECT_EQ(host::VariantText(held->Data()[i]), expected[static_cast<std::size_t>(text++)]) << i;
            }
        }
    }
    EXPECT_NE(copied.Data()[1].data, args.Data()[1].data);
}

} // namespace
} // namespace vornik::test
