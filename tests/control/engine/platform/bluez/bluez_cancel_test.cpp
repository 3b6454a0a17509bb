// The engine on the BlueZ backend against the mock bluetoothd: a request
// whose wait ends without its answer has its bus call cancelled, and the
// next request of its kind gets its own answer.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "ble_engine.h"
#include "event_recorder.h"
#include "mock_bluez.h"
#include "platform/bluez/bluez_platform.h"

namespace vornik::test {
namespace {

const std::string kServer = "E8C04D000404";
const std::string kMain = "001000000000";
const std::string kEcho = "001000120000"; // char0011: value handle 0x0012
const char* kSlowly = "import time\\ntime.sleep(2.5)\\n";

enum class Ending { Timeout, Interrupt };

class BluezCancel : public ::testing::Test {
protected:
    void SetUp() override
    {
        world_ = std::make_unique<MockBluez>(true);
        ::setenv("DBUS_SYSTEM_BUS_ADDRESS", world_->Address().c_str(), 1);
        ::unsetenv("VORNIK220_BLUEZ_ADAPTER");
        std::string error;
        auto platform = bluez::BluezPlatform::Open(error);
        ASSERT_TRUE(platform) << error;
        bluez_ = platform.get();
        engine_ = std::make_unique<BleEngine>(std::move(platform));
        engine_->SetEventSink(&events_);
        ASSERT_EQ(engine_->Connect(kServer), 0) << engine_->LastError();
        ASSERT_EQ(engine_->Discover("", "", true, ""), 0) << engine_->LastError();
    }

    void TearDown() override
    {
        if (engine_) {
            engine_->SetHostPump({});
            engine_->SetEventSink(nullptr);
        }
        engine_.reset();
        world_.reset();
    }

public:
    // Gives the echo characteristic's method new code (its reply in `ret`).
    void Answer(const std::string& method, const std::string& signature, const std::string& out,
                const std::string& code)
    {
        ASSERT_EQ(world_->Do("w.obj(DEVICE + '/service0010/char0011').AddMethod(CHAR_IFACE, '" + method + "', '" +
                             signature + "', '" + out + "', \"" + code + "\")"),
                  "");
    }

protected:
    // Ends the next wait in this way.
    void End(Ending ending)
    {
        if (ending == Ending::Timeout) {
            ASSERT_EQ(engine_->SetTimeout(1), 0);
            return;
        }
        engine_->SetHostPump([this, armed = true]() mutable {
            if (armed) {
                armed = false;
                engine_->Interrupt();
            }
        });
    }

    void Restore()
    {
        engine_->SetHostPump({});
        ASSERT_EQ(engine_->SetTimeout(60), 0);
    }

    std::unique_ptr<MockBluez> world_;
    bluez::BluezPlatform* bluez_ = nullptr;
    std::unique_ptr<BleEngine> engine_;
    EventRecorder events_;
};

TEST_F(BluezCancel, AnEndedWaitCancelsItsBusCallAndTheNextCallGetsItsOwnAnswer)
{
    struct Case {
        const char* name;
        std::function<void(BluezCancel&, bool slow)> arrange;
        std::function<int(BleEngine&)> call;
        int values; // Value events of the second call
    };
    const std::vector<Case> cases = {
        {"ReadValue",
         [](BluezCancel& t, bool slow) {
             t.Answer("ReadValue", "a{sv}", "ay",
                      std::string(slow ? kSlowly : "") + "ret = dbus.Array(b'fresh', signature='y')");
         },
         [](BleEngine& e) {
             std::string out;
             const int code = e.ReadValue(kMain, kEcho, "", out);
             return code == 0 && out != "fresh" ? -1 : code;
         },
         1},
        {"WriteValue",
         [](BluezCancel& t, bool slow) { t.Answer("WriteValue", "aya{sv}", "", slow ? kSlowly : "pass"); },
         [](BleEngine& e) { return e.WriteValue(kMain, kEcho, "", "v"); }, 0},
    };
    for (Ending ending : {Ending::Timeout, Ending::Interrupt}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (ending == Ending::Timeout ? " past the timeout" : " interrupted"));
            c.arrange(*this, true);
            End(ending);
            EXPECT_EQ(c.call(*engine_), 301);
            Restore();
            EXPECT_EQ(bluez_->PendingCalls(), 0u) << "the bus call is left running";
            c.arrange(*this, false);
            events_.Clear();
            EXPECT_EQ(c.call(*engine_), 0) << engine_->LastError();
            EXPECT_EQ(events_.CountPrefix("Value("), c.values);
        }
    }
}

} // namespace
} // namespace vornik::test
