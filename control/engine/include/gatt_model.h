// The engine's model of what it discovered on the connected server, the
// Service/Characteristic/Descriptor arrays the host indexes, and the
// selection rules.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/platform.h"
#include "status.h"

namespace vornik {

struct ServiceRecord {
    std::shared_ptr<platform::GattService> service;
    std::uint16_t handle = 0;
    std::string id;
    std::string uuid;
    std::string description;
    std::vector<std::string> parentIds;
    std::vector<std::string> includedIds;
};

struct CharacteristicRecord {
    std::shared_ptr<platform::GattCharacteristic> characteristic;
    std::uint16_t handle = 0;
    std::string id;
    std::string uuid;
    std::string description;
    std::uint16_t flags = 0;
    int valueFormatIndex = -1;
    // The user description and presentation formats once asked for; a
    // descriptor rediscovery or a user description write drops them.
    std::optional<platform::CharacteristicDetails> details;
    // Once-only markers.
    bool flagsComputed = false;
    bool extendedPropertiesEnsured = false;
    bool formatDescriptorsEnsured = false;
    bool formatIndexInitialised = false;
    bool cccdEnsured = false;
};

struct DescriptorRecord {
    std::shared_ptr<platform::GattDescriptor> descriptor;
    std::uint16_t handle = 0;
    std::string id;
    std::string uuid;
    std::string description;
};

using ServicePtr = std::shared_ptr<ServiceRecord>;
using CharacteristicPtr = std::shared_ptr<CharacteristicRecord>;
using DescriptorPtr = std::shared_ptr<DescriptorRecord>;

// Characteristic flags of the host interface from the platform's property
// bits (reliable writes and writable auxiliaries move down one bit, the
// extended-properties bit is dropped).
std::uint16_t MapCharacteristicFlags(std::uint16_t platformProperties);
// 0x0012 -> "R,N".
std::string FlagsText(std::uint16_t flags);

inline constexpr std::uint16_t kFlagNotify = 0x0010;
inline constexpr std::uint16_t kFlagIndicate = 0x0020;
inline constexpr std::uint16_t kFlagWritableAuxiliaries = 0x0100;

template <class Record>
struct Added {
    std::shared_ptr<Record> record;
    bool isNew = false;
};

class GattModel {
public:
    // Adding discovered objects: a known Id keeps its record.
    Status AddService(const std::shared_ptr<platform::GattService>& service, const ServicePtr& parent,
                      Added<ServiceRecord>& out);
    Status AddCharacteristic(const ServiceRecord& owner, const std::shared_ptr<platform::GattCharacteristic>& chr,
                             Added<CharacteristicRecord>& out);
    Status AddDescriptor(const ServiceRecord& service, const CharacteristicRecord& owner,
                         const std::shared_ptr<platform::GattDescriptor>& descriptor, Added<DescriptorRecord>& out);

    // Lookups with the host's error texts (202 for a missing Id, 601 unknown).
    Status FindService(std::string_view serviceId, ServicePtr& out) const;
    Status FindCharacteristic(std::string_view serviceId, std::string_view characteristicId,
                              CharacteristicPtr& out) const;
    Status FindDescriptor(std::string_view characteristicId, std::string_view descriptorId, DescriptorPtr& out) const;
    // A characteristic by its own Id, whatever service is selected.
    CharacteristicPtr CharacteristicById(std::string_view characteristicId) const;
    // A characteristic by its attribute handle (unique on one server; the
    // first record wins should a server repeat one). For value handlers.
    CharacteristicPtr CharacteristicByHandle(std::uint16_t handle) const;

    const std::vector<ServicePtr>& Services() const { return services_; }
    const std::vector<CharacteristicPtr>& CharacteristicsOf(const std::string& serviceId) const;
    const std::vector<DescriptorPtr>& DescriptorsOf(const std::string& characteristicId) const;

    // The arrays the host indexes; a grown slot holds null.
    const std::vector<CharacteristicPtr>& CharacteristicArray() const { return characteristicArray_; }
    const std::vector<DescriptorPtr>& DescriptorArray() const { return descriptorArray_; }
    void ShowCharacteristicsOf(const std::string& serviceId);
    void ShowDescriptorsOf(const std::string& characteristicId);
    void SetCharacteristicCount(int count);

    // Selection.
    const std::string& SelectedService() const { return selectedService_; }
    const std::string& SelectedCharacteristic() const { return selectedCharacteristic_; }
    Status SetService(std::string_view serviceId);
    Status SetCharacteristic(std::string_view characteristicId);
    // A characteristic of another service than the selected one.
    Status SelectCharacteristicIn(std::string_view serviceId, std::string_view characteristicId);

    // Subscription state last seen, per characteristic Id.
    std::map<std::string, bool>& Subscriptions() { return subscriptions_; }
    const std::map<std::string, bool>& Subscriptions() const { return subscriptions_; }

    void Clear();

private:
    std::vector<ServicePtr> services_;
    std::map<std::string, std::vector<CharacteristicPtr>> characteristics_;
    std::map<std::string, std::vector<DescriptorPtr>> descriptors_;
    std::unordered_map<std::uint16_t, CharacteristicPtr> characteristicsByHandle_;
    std::vector<CharacteristicPtr> characteristicArray_;
    std::vector<DescriptorPtr> descriptorArray_;
    std::string selectedService_;
    std::string selectedCharacteristic_;
    std::map<std::string, bool> subscriptions_;
};

}  // namespace vornik
