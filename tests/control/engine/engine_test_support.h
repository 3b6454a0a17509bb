// An engine on a simulated radio, with every event it raises recorded, and
// a peer that reaches the engine's internals the operations use.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "ble_engine.h"
#include "connection_state.h"
#include "platform/sim/sim_radio.h"

namespace vornik {

struct BleEngineTestPeer {
    static GattModel& Model(BleEngine& engine) { return engine.model_; }
    static EventRaiser& Events(BleEngine& engine) { return engine.events_; }
    static void Log(BleEngine& engine, LogLevel level, LogType type, std::string message)
    {
        engine.Log(level, type, std::move(message));
    }
    static Status CheckResult(BleEngine& engine, const platform::GattResult& result, LogType type)
    {
        return engine.CheckResult(result, type);
    }
    template <class Result>
    static Status Await(BleEngine& engine, const std::function<void(platform::Completion<Result>)>& start,
                        Result& out)
    {
        return engine.Await(start, out);
    }
    static void PretendConnected(BleEngine& engine, std::shared_ptr<platform::Device> device)
    {
        engine.connection_->device = std::move(device);
        engine.connection_->connectionLost = false;
    }
    static void SetConnectInProgress(BleEngine& engine, bool value) { engine.connection_->connectInProgress = value; }
};

// Records every event as one line of text, with the thread it came on.
class RecordingSink : public EngineEvents {
public:
    void Log(short& level, std::string& message, std::string& type) override
    {
        Record("Log(" + std::to_string(level) + "," + type + "," + message + ")");
    }
    void Error(short& code, std::string& description) override
    {
        Record("Error(" + std::to_string(code) + "," + description + ")");
    }
    void Value(std::string& service, std::string& chr, std::string& descriptor, std::string& uuid,
               std::string& description, std::string& value) override
    {
        Record("Value(" + service + "," + chr + "," + descriptor + "," + uuid + "," + description + "," + value + ")");
    }

    std::vector<std::string> events;
    std::vector<std::thread::id> threads;

private:
    void Record(std::string line)
    {
        events.push_back(std::move(line));
        threads.push_back(std::this_thread::get_id());
    }
};

class EngineFixture : public ::testing::Test {
protected:
    EngineFixture()
    {
        auto radio = std::make_unique<sim::SimRadio>();
        radio_ = radio.get();
        engine_ = std::make_unique<BleEngine>(std::move(radio));
        engine_->SetEventSink(&sink_);
    }

    std::string Query(const std::string& request)
    {
        std::string reply;
        int code = engine_->Config(request, reply);
        EXPECT_EQ(code, 0) << request << ": " << engine_->LastError();
        return reply;
    }

    int ConfigCode(const std::string& request)
    {
        std::string reply;
        return engine_->Config(request, reply);
    }

    sim::SimRadio* radio_ = nullptr;
    RecordingSink sink_;
    std::unique_ptr<BleEngine> engine_;
};

}  // namespace vornik
