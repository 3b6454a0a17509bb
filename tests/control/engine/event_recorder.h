// An event sink that writes every engine event down as one line of text, so
// tests can compare whole event sequences. Log events go to their own list.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine_events.h"

namespace vornik::test {

class EventRecorder : public EngineEvents {
public:
    std::vector<std::string> events;
    std::vector<std::string> logs;  // "level|type|message"
    // Called inside Advertisement and Value, with the event's line.
    std::function<void(const std::string&)> onAdvertisement;
    std::function<void(const std::string&)> onValue;
    std::function<void(const std::string&)> onDiscovered;
    // Called inside every Log event with "level|type|message", and inside
    // every other event with its line.
    std::function<void(const std::string&)> onLog;
    std::function<void(const std::string&)> onEvent;

    void Clear()
    {
        events.clear();
        logs.clear();
    }

    int CountPrefix(const std::string& prefix) const
    {
        int n = 0;
        for (const std::string& event : events)
            n += event.rfind(prefix, 0) == 0 ? 1 : 0;
        return n;
    }

    // The events without those starting with prefix (e.g. the Discovered
    // events of descriptors an operation made sure of on its way).
    std::vector<std::string> Without(const std::string& prefix) const
    {
        std::vector<std::string> out;
        for (const std::string& event : events)
            if (event.rfind(prefix, 0) != 0)
                out.push_back(event);
        return out;
    }

    std::vector<std::string> LogsOfType(const std::string& type) const
    {
        std::vector<std::string> out;
        for (const std::string& log : logs)
            if (log.find("|" + type + "|") != std::string::npos)
                out.push_back(log);
        return out;
    }

    bool HasLog(const std::string& line) const
    {
        for (const std::string& log : logs)
            if (log == line)
                return true;
        return false;
    }

    void Advertisement(std::string& serverId, std::string& name, short& rssi, short& txPower,
                       std::string& serviceUuids, std::string& servicesWithData, std::string& solicited,
                       short& companyId, std::string& manufacturerData, bool& connectable,
                       bool& scanResponse) override
    {
        std::string line = "Advertisement(" + serverId + "," + name + "," + std::to_string(rssi) + "," +
                           std::to_string(txPower) + ",[" + serviceUuids + "],[" + servicesWithData + "],[" +
                           solicited + "]," + std::to_string(companyId) + "," + Hex(manufacturerData) + "," +
                           Bool(connectable) + "," + Bool(scanResponse) + ")";
        Push(line);
        if (onAdvertisement)
            onAdvertisement(line);
    }
    void Connected(short& code, std::string& description) override
    {
        Push("Connected(" + std::to_string(code) + "," + description + ")");
    }
    void Disconnected(short& code, std::string& description) override
    {
        Push("Disconnected(" + std::to_string(code) + "," + description + ")");
    }
    void Discovered(short& type, std::string& service, std::string& characteristic, std::string& descriptor,
                    std::string& uuid, std::string& description) override
    {
        const std::string line = "Discovered(" + std::to_string(type) + "," + service + "," + characteristic + "," +
                                 descriptor + "," + uuid + "," + description + ")";
        Push(line);
        if (onDiscovered)
            onDiscovered(line);
    }
    void Error(short& code, std::string& description) override
    {
        Push("Error(" + std::to_string(code) + "," + description + ")");
    }
    void Log(short& level, std::string& message, std::string& type) override
    {
        logs.push_back(std::to_string(level) + "|" + type + "|" + message);
        if (onLog)
            onLog(std::string(logs.back()));
    }
    void ServerUpdate(std::string& name, std::string& changed) override
    {
        Push("ServerUpdate(" + name + "," + changed + ")");
    }
    void StartScan(std::string& uuids) override { Push("StartScan(" + uuids + ")"); }
    void StopScan(short& code, std::string& description) override
    {
        Push("StopScan(" + std::to_string(code) + "," + description + ")");
    }
    void Subscribed(std::string& service, std::string& characteristic, std::string& uuid,
                    std::string& description) override
    {
        Push("Subscribed(" + service + "," + characteristic + "," + uuid + "," + description + ")");
    }
    void Unsubscribed(std::string& service, std::string& characteristic, std::string& uuid,
                      std::string& description) override
    {
        Push("Unsubscribed(" + service + "," + characteristic + "," + uuid + "," + description + ")");
    }
    void Value(std::string& service, std::string& characteristic, std::string& descriptor, std::string& uuid,
               std::string& description, std::string& value) override
    {
        std::string line = "Value(" + service + "," + characteristic + "," + descriptor + "," + uuid + "," +
                           description + "," + Hex(value) + ")";
        Push(line);
        if (onValue)
            onValue(line);
    }
    void WriteResponse(std::string& service, std::string& characteristic, std::string& descriptor,
                       std::string& uuid, std::string& description) override
    {
        Push("WriteResponse(" + service + "," + characteristic + "," + descriptor + "," + uuid + "," +
                         description + ")");
    }

    // "01 A2" style; empty for no bytes.
    static std::string Hex(const std::string& bytes)
    {
        static const char* digits = "0123456789ABCDEF";
        std::string out;
        for (unsigned char b : bytes) {
            if (!out.empty())
                out += ' ';
            out += digits[b >> 4];
            out += digits[b & 0x0F];
        }
        return out;
    }

private:
    void Push(std::string line)
    {
        events.push_back(line);
        if (onEvent)
            onEvent(line);
    }
    static std::string Bool(bool value) { return value ? "True" : "False"; }
};

}  // namespace vornik::test
