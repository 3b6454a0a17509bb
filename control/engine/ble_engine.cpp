// Engine core: construction, error and log plumbing, the wait, DoEvents and
// Timeout.
#include "ble_engine.h"

#include <algorithm>
#include <array>

#include "connection_state.h"
#include "engine_ops.h"
#include "errors.h"
#include "scan_state.h"

namespace vornik {

namespace {

constexpr std::array<std::string_view, 4> kGattStatusNames = {"Success", "Unreachable", "ProtocolError",
                                                              "AccessDenied"};

}  // namespace

BleEngine::BleEngine(std::unique_ptr<platform::Platform> platform)
    : platform_(std::move(platform)),
      loop_(*platform_),
      events_(loop_),
      connection_(std::make_unique<ConnectionState>()),
      scan_(std::make_unique<ScanState>())
{
    platform_->SetRequestTimeout(timeoutSeconds_);
}

BleEngine::~BleEngine()
{
    // Records and handlers refer to platform objects; drop them first.
    events_.SetSink(nullptr);
    model_.Clear();
    scan_.reset();
    connection_.reset();
}

int BleEngine::Done(const Status& status) const
{
    if (!status.ok())
        lastError_ = status.text;
    return status.code;
}

void BleEngine::Log(LogLevel level, LogType type, std::string message)
{
    if (settings_.logLevel < static_cast<int>(level))
        return;
    events_.Raise(&EngineEvents::Log, static_cast<short>(level), std::move(message), std::string(LogTypeWord(type)));
}

WaitOptions BleEngine::CurrentWaitOptions() const
{
    WaitOptions options;
    options.timeoutSeconds = timeoutSeconds_;
    options.selectWaitMillis = settings_.selectWaitMillis;
    options.pumpHost = settings_.useWindowsMessages;
    return options;
}

void BleEngine::RunWaitRound()
{
    loop_.RunRound(std::chrono::milliseconds(std::max(settings_.selectWaitMillis, 0)), settings_.useWindowsMessages);
}

Status BleEngine::CheckResult(const platform::GattResult& result, LogType type)
{
    const auto statusIndex = static_cast<std::size_t>(result.status);
    std::string_view name = statusIndex < kGattStatusNames.size() ? kGattStatusNames[statusIndex] : "Unknown";
    const int protocolCode = result.protocolError.value_or(0);
    Log(LogLevel::Basic, type,
        "BLE Result Status: " + std::string(name) + " (Protocol Code: " + std::to_string(protocolCode) + ").");
    if (!result.detail.empty())
        Log(LogLevel::Detailed, type, "BLE Result Detail: " + result.detail);
    switch (result.status) {
    case platform::GattStatus::Success:
        return Status::Ok();
    case platform::GattStatus::AccessDenied:
        return Status::Error(err::kAccessDenied, std::string(text::kAccessDenied));
    case platform::GattStatus::Unreachable:
        return Status::Error(err::kUnreachable, std::string(text::kUnreachable));
    case platform::GattStatus::ProtocolError:
        break;
    }
    return AttError(static_cast<std::uint8_t>(protocolCode));
}

int BleEngine::DoEvents()
{
    RunWaitRound();
    return 0;
}

bool EngineOps::Holding(const BleEngine& engine)
{
    return engine.loop_.HoldsEvents();
}

void EngineOps::Hold(BleEngine& engine, std::function<void()> handler)
{
    engine.loop_.Defer(std::move(handler));
}

int BleEngine::GetTimeout(short& out) const
{
    out = timeoutSeconds_;
    return 0;
}

int BleEngine::SetTimeout(short seconds)
{
    timeoutSeconds_ = std::max<short>(seconds, 0);
    platform_->SetRequestTimeout(timeoutSeconds_);
    return 0;
}

}  // namespace vornik
