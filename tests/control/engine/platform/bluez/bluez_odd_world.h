// A fresh mock bluetoothd per row, altered one way before the control
// starts (or while it runs), the request the row names and a normal round
// afterwards: the frame of the odd-world sweeps.
#pragma once

#include <gtest/gtest.h>

#include <poll.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "abi_helpers.h"
#include "mock_bluez.h"

namespace vornik::test {

constexpr int kAnyFailure = -1;
constexpr int kUnreachable = 20608;
constexpr int kNotDiscovered = 20602;
constexpr int kTimeout = 20302;

// What a row asks of the control once the world is altered.
enum class Ask {
    Connect,      // Connect only
    Discover,     // Connect, then Discover with descriptors
    ServerName,   // after Discover
    Read,         // after Discover: the characteristic `target`
    ReadDetail,   // after Discover: the user description of kEcho
    Write,        // after Discover: WriteValue to `target`
    Subscribe,    // after Discover: Subscribe to `target`
    Notification, // subscribed to kCounter, `during` sent, then one good value
    Scan,         // a scan: the first advertisement's fields
    Tree,         // after Discover: how many objects the tree lists
};

// What shows the control still works afterwards.
enum class Then { ReadEcho, Scan };

struct Odd {
    std::string what;
    std::vector<std::string> before; // helper statements before the control starts
    std::vector<std::string> during; // after Discover (or the scan's start)
    Ask ask;
    std::string target;
    int number;         // 0: success, kAnyFailure, or the error number
    std::string answer; // on success; "*": any
    Then then = Then::ReadEcho;
    std::int16_t timeout = 5; // the control's Timeout, seconds
};

class BluezOddWorld : public ::testing::Test {
protected:
    void TearDown() override { Stop(); }

    void Stop()
    {
        control.reset();
        world.reset();
        events.clear();
    }

    bool Start(const std::vector<std::string>& before)
    {
        Stop();
        world = std::make_unique<MockBluez>(true);
        for (const std::string& statement : before)
            if (const std::string answer = world->Do(statement); !answer.empty() && answer[0] == '!') {
                ADD_FAILURE() << statement << ": " << answer;
                return false;
            }
        ::setenv("DBUS_SYSTEM_BUS_ADDRESS", world->Address().c_str(), 1);
        ::unsetenv("VORNIK220_RADIO");
        ::unsetenv("VORNIK220_BLUEZ_ADAPTER");
        control = std::make_unique<Control>();
        return control->created() == VORNIK_S_OK && vornik_advise(control->get(), &BluezOddWorld::Sink, this) == 0;
    }

    static void Sink(void* context, std::int32_t dispid, vornik_variant* args, std::int32_t count)
    {
        auto* self = static_cast<BluezOddWorld*>(context);
        Recorded record{dispid, EventTexts(args, count)};
        self->events.push_back(std::move(record));
    }

    std::vector<std::vector<std::string>> EventsOf(std::int32_t dispid) const
    {
        std::vector<std::vector<std::string>> out;
        for (const auto& e : events)
            if (e.dispid == dispid)
                out.push_back(e.texts);
        return out;
    }

    // Runs the control's events until done() holds or the time is up.
    bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
    {
        return PumpEventsUntil(*control, done, limit);
    }

    struct Outcome {
        int number = 0;
        std::string answer;
    };

    Outcome Called(vornik_hresult hr, const std::string& answer = "")
    {
        if (hr == VORNIK_S_OK)
            return {0, answer};
        const ErrorRecord error = lastError();
        return {error.number, error.description};
    }

    Outcome Connected(bool discover)
    {
        if (Outcome o = Called(control->call(VORNIK_DISPID_Connect, {str(kServer)})); o.number || !discover)
            return o;
        return Called(control->call(VORNIK_DISPID_Discover, {str(""), str(""), boolean(true), str("")}));
    }

    Outcome Read(const std::string& characteristic, const std::string& descriptor = "")
    {
        Result value;
        const vornik_hresult hr =
            control->call(VORNIK_DISPID_ReadValue, {str(kMain), str(characteristic), str(descriptor)}, &value.v);
        return Called(hr, hr == VORNIK_S_OK ? value.text() : "");
    }

    void Send(const std::vector<std::string>& statements)
    {
        for (const std::string& statement : statements)
            EXPECT_EQ(world->Do(statement), "") << statement;
    }

    Outcome Scan(const Odd& row)
    {
        if (Outcome o = Called(control->call(VORNIK_DISPID_StartScanning, {str("")})); o.number)
            return o;
        Send(row.during);
        const auto heard = [&] { return !EventsOf(VORNIK_EVENT_Advertisement).empty(); };
        PumpUntil(heard, std::chrono::milliseconds(1500));
        const auto ads = EventsOf(VORNIK_EVENT_Advertisement);
        std::string answer = ads.empty() ? "none" : ads[0][0] + " " + ads[0][2];
        for (const auto& ad : ads)
            if (ad[0] != kServer)
                answer += " and " + ad[0];
        if (Outcome o = Called(control->call(VORNIK_DISPID_StopScanning, {})); o.number)
            return o;
        return {0, answer};
    }

    Outcome Notification(const Odd& row)
    {
        if (Outcome o = Called(control->call(VORNIK_DISPID_Subscribe, {str(kMain), str(kCounter)})); o.number)
            return o;
        events.clear();
        Send(row.during);
        EXPECT_EQ(world->Do("w.notify('service0010/char0015', '41')"), "");
        const auto good = [&] {
            const auto values = EventsOf(VORNIK_EVENT_Value);
            return !values.empty() && values.back()[5] == "A";
        };
        PumpUntil(good, std::chrono::seconds(5));
        std::string answer;
        for (const auto& value : EventsOf(VORNIK_EVENT_Value))
            answer += "[" + value[5] + "]";
        return {0, answer};
    }

    Outcome Asked(const Odd& row)
    {
        if (row.ask == Ask::Scan)
            return Scan(row);
        if (Outcome o = Connected(row.ask != Ask::Connect);
            o.number || row.ask == Ask::Connect || row.ask == Ask::Discover)
            return o;
        if (row.ask == Ask::Notification)
            return Notification(row);
        Send(row.during);
        switch (row.ask) {
        case Ask::ServerName: {
            Result name;
            const vornik_hresult hr = control->call(VORNIK_DISPID_ServerName, {}, &name.v);
            return Called(hr, hr == VORNIK_S_OK ? name.text() : "");
        }
        case Ask::Read:
            return Read(row.target);
        case Ask::Tree: {
            const std::string tree = control->config("GattObjTreeInfo");
            std::size_t count = 0;
            for (auto at = tree.find("ID="); at != std::string::npos; at = tree.find("ID=", at + 1))
                ++count;
            return {0, std::to_string(count)};
        }
        case Ask::ReadDetail:
            return Read(kEcho, kDescription);
        case Ask::Write:
            return Called(control->call(VORNIK_DISPID_WriteValue, {str(kMain), str(row.target), str(""), str("v")}));
        case Ask::Subscribe:
            return Called(control->call(VORNIK_DISPID_Subscribe, {str(kMain), str(row.target)}));
        default:
            return {};
        }
    }

    void StillWorks(const Odd& row)
    {
        if (row.then == Then::Scan) {
            EXPECT_EQ(Called(control->call(VORNIK_DISPID_StartScanning, {str("")})).number, 0);
            EXPECT_EQ(Called(control->call(VORNIK_DISPID_StopScanning, {})).number, 0);
            return;
        }
        // A whole round again: down (whatever the state), up, discovered.
        control->call(VORNIK_DISPID_Disconnect, {});
        const Outcome up = Connected(true);
        ASSERT_EQ(up.number, 0) << up.answer;
        const Outcome echo = Read(kEcho);
        EXPECT_EQ(echo.number, 0) << echo.answer;
        EXPECT_EQ(echo.answer, "echo");
    }

    void Sweep(const std::vector<Odd>& rows)
    {
        for (const Odd& row : rows) {
            SCOPED_TRACE(row.what);
            if (!Start(row.before))
                continue;
            ASSERT_EQ(control->put(VORNIK_DISPID_Timeout, {i2(row.timeout)}), VORNIK_S_OK);
            const Outcome outcome = Asked(row);
            if (row.number == kAnyFailure) {
                EXPECT_NE(outcome.number, 0) << outcome.answer;
            } else {
                EXPECT_EQ(outcome.number, row.number) << outcome.answer;
            }
            if (row.number == 0 && row.answer != "*") {
                EXPECT_EQ(outcome.answer, row.answer);
            }
            StillWorks(row);
        }
    }

    struct Recorded {
        std::int32_t dispid;
        std::vector<std::string> texts;
    };
    std::unique_ptr<MockBluez> world;
    std::unique_ptr<Control> control;
    std::vector<Recorded> events;
};

} // namespace vornik::test
