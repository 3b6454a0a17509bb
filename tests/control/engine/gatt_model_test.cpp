#include "gatt_model.h"

#include <gtest/gtest.h>

#include "engine_test_support.h"
#include "object_id.h"

namespace vornik {
namespace {

namespace prop = platform::prop;

TEST(ObjectIds, BuiltFromTheThreeHandles)
{
    struct Case {
        std::uint16_t service, characteristic, descriptor;
        int code;
        const char* result;
    };
    for (const Case& c :
         {Case{1, 0, 0, 0, "000100000000"}, Case{1, 3, 0, 0, "000100030000"}, Case{1, 3, 5, 0, "000100030005"},
          Case{0x000C, 0x000E, 0x0010, 0, "000C000E0010"}, Case{0xFFFF, 0xABCD, 0x00EF, 0, "FFFFABCD00EF"},
          Case{0, 3, 0, 202, "Must supply a non-zero service handle."},
          Case{1, 0, 5, 202, "Must supply a non-zero characteristic handle to supply a non-zero descriptor handle."}}) {
        std::string id = "unchanged";
        Status status = BuildObjectId(c.service, c.characteristic, c.descriptor, id);
        EXPECT_EQ(status.code, c.code);
        EXPECT_EQ(c.code == 0 ? id : status.text, c.result);
    }
    EXPECT_EQ(OwningServiceId("000C000E0010"), "000C00000000");
}

TEST(CharacteristicFlags, MappedFromPlatformBitsAndWrittenAsText)
{
    struct Case {
        std::uint16_t platformBits;
        std::uint16_t flags;
        const char* text;
    };
    for (const Case& c : {Case{0x03FF, 0x01FF, "B,R,WWR,W,N,I,ASR,RW,WA"}, Case{0x0012, 0x0012, "R,N"},
                          Case{0x0001, 0x0001, "B"}, Case{0x0000, 0x0000, ""},
                          Case{0x0080, 0x0000, ""},  // extended properties bit is not carried over
                          Case{0x0100, 0x0080, "RW"}, Case{0x0200, 0x0100, "WA"}, Case{0x0028, 0x0028, "W,I"}}) {
        EXPECT_EQ(MapCharacteristicFlags(c.platformBits), c.flags) << c.platformBits;
        EXPECT_EQ(FlagsText(c.flags), c.text) << c.flags;
    }
}

class EngineModel : public EngineFixture {
protected:
    EngineModel()
    {
        auto p = radio_->AddPeripheral(0x00A0B0C0D0E0ULL, "Model");
        access_ = p->AddService(Uuid::FromShort(0x1800), true, 0x0001);
        name_ = p->AddCharacteristic(access_, Uuid::FromShort(0x2A00), prop::kRead, {}, 0x0003);
        p->AddDescriptor(name_, Uuid::FromShort(0x2901), {'N'}, false, 0x0005);
        info_ = p->AddService(Uuid::FromShort(0x180A), true, 0x000C);
        maker_ = p->AddCharacteristic(info_, Uuid::FromShort(0x2A29), prop::kRead | prop::kNotify, {}, 0x000E);
        p->AddUserDescription(maker_, "Maker");
        p->AddPresentationFormat(maker_, 0x19, 0, 0x2700);
        odd_ = p->AddService(Uuid::FromShort(0x1817), true, 0x0020);
        battery_ = p->AddService(Uuid::FromShort(0x180F), true, 0x0030);
        p->IncludeService(odd_, battery_);
        peripheral_ = p;
    }

    template <class Result>
    Result Run(const std::function<void(platform::Completion<Result>)>& start)
    {
        Result out{};
        EXPECT_TRUE(BleEngineTestPeer::Await(*engine_, start, out).ok());
        return out;
    }

    // What discovery does: every service, its included services, every
    // characteristic and descriptor into the model. Counts new objects.
    int DiscoverEverything()
    {
        GattModel& model = BleEngineTestPeer::Model(*engine_);
        device_ = Run<std::shared_ptr<platform::Device>>(
            [&](auto done) { radio_->DeviceFromAddress(0x00A0B0C0D0E0ULL, std::move(done)); });
        int fresh = 0;
        auto services = Run<platform::ListResult<platform::GattService>>(
            [&](auto done) { device_->GetGattServices(std::nullopt, std::move(done)); });
        for (auto& service : services.objects) {
            Added<ServiceRecord> added;
            EXPECT_TRUE(model.AddService(service, nullptr, added).ok());
            fresh += added.isNew;
            auto included = Run<platform::ListResult<platform::GattService>>(
                [&](auto done) { service->GetIncludedServices(std::nullopt, std::move(done)); });
            for (auto& child : included.objects) {
                Added<ServiceRecord> addedChild;
                EXPECT_TRUE(model.AddService(child, added.record, addedChild).ok());
                fresh += addedChild.isNew;
            }
            auto chars = Run<platform::ListResult<platform::GattCharacteristic>>(
                [&](auto done) { service->GetCharacteristics(std::nullopt, std::move(done)); });
            for (auto& chr : chars.objects) {
                Added<CharacteristicRecord> addedChr;
                EXPECT_TRUE(model.AddCharacteristic(*added.record, chr, addedChr).ok());
                fresh += addedChr.isNew;
                auto descriptors = Run<platform::ListResult<platform::GattDescriptor>>(
                    [&](auto done) { chr->GetDescriptors(std::nullopt, std::move(done)); });
                for (auto& descriptor : descriptors.objects) {
                    Added<DescriptorRecord> addedDescriptor;
                    EXPECT_TRUE(model.AddDescriptor(*added.record, *addedChr.record, descriptor, addedDescriptor).ok());
                    fresh += addedDescriptor.isNew;
                }
            }
        }
        return fresh;
    }

    std::string Text(int (BleEngine::*getter)(int, std::string&) const, int index)
    {
        std::string out;
        EXPECT_EQ((engine_.get()->*getter)(index, out), 0) << engine_->LastError();
        return out;
    }

    std::shared_ptr<sim::SimPeripheral> peripheral_;
    std::shared_ptr<platform::Device> device_;
    std::uint16_t access_ = 0, name_ = 0, info_ = 0, maker_ = 0, odd_ = 0, battery_ = 0;
};

TEST_F(EngineModel, IdsComeFromTheHandles)
{
    DiscoverEverything();
    ASSERT_EQ(engine_->SetService("000100000000"), 0);
    EXPECT_EQ(Text(&BleEngine::GetServiceId, 0), "000100000000");
    EXPECT_EQ(Text(&BleEngine::GetCharacteristicId, 0), "000100030000");
    ASSERT_EQ(engine_->SetCharacteristic("000100030000"), 0);
    EXPECT_EQ(Text(&BleEngine::GetDescriptorId, 0), "000100030005");
    EXPECT_EQ(Text(&BleEngine::GetDescriptorUuid, 0), "00002901-0000-1000-8000-00805F9B34FB");
    EXPECT_EQ(Text(&BleEngine::GetDescriptorDescription, 0), "Characteristic User Description");
}

TEST_F(EngineModel, ServiceArrayWithDescriptionsAndLinks)
{
    EXPECT_EQ(DiscoverEverything(), 10);  // 4 services, 2 characteristics, 4 descriptors
    short count = 0;
    engine_->GetServiceCount(count);
    EXPECT_EQ(count, 4);
    struct Row {
        const char* id;
        const char* description;
        const char* parents;
        const char* included;
    };
    const Row rows[] = {{"000100000000", "Generic Access", "", ""},
                        {"000C00000000", "Device Information", "", ""},
                        {"002000000000", "", "", "003000000000"},
                        {"003000000000", "Battery Service", "002000000000", ""}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Text(&BleEngine::GetServiceId, i), rows[i].id);
        EXPECT_EQ(Text(&BleEngine::GetServiceDescription, i), rows[i].description);
        EXPECT_EQ(Text(&BleEngine::GetServiceParentSvcIds, i), rows[i].parents);
        EXPECT_EQ(Text(&BleEngine::GetServiceIncludedSvcIds, i), rows[i].included);
    }
    EXPECT_EQ(Text(&BleEngine::GetServiceUuid, 2), "00001817-0000-1000-8000-00805F9B34FB");
}

TEST_F(EngineModel, RediscoveryKeepsOneRecordPerObject)
{
    DiscoverEverything();
    GattModel& model = BleEngineTestPeer::Model(*engine_);
    auto firstRecord = model.Services()[0];
    EXPECT_EQ(DiscoverEverything(), 0) << "nothing new the second time";
    short count = 0;
    engine_->GetServiceCount(count);
    EXPECT_EQ(count, 4);
    EXPECT_EQ(model.Services()[0], firstRecord);
    EXPECT_EQ(model.CharacteristicsOf("000C00000000").size(), 1u);
    EXPECT_EQ(model.DescriptorsOf("000C000E0000").size(), 3u);
    EXPECT_EQ(Text(&BleEngine::GetServiceIncludedSvcIds, 2), "003000000000");
    EXPECT_EQ(Text(&BleEngine::GetServiceParentSvcIds, 3), "002000000000");
}

TEST_F(EngineModel, SelectingServiceAndCharacteristic)
{
    DiscoverEverything();
    EXPECT_EQ(engine_->SetCharacteristic("000C000E0000"), 602);
    EXPECT_EQ(engine_->LastError(), "You must select a service before selecting a characteristic.");

    ASSERT_EQ(engine_->SetService("000c00000000"), 0) << "Ids are not case-sensitive";
    std::string selected;
    engine_->GetService(selected);
    EXPECT_EQ(selected, "000C00000000");
    short count = 0;
    engine_->GetCharacteristicCount(count);
    EXPECT_EQ(count, 1);

    EXPECT_EQ(engine_->SetCharacteristic("000C00990000"), 601);
    EXPECT_EQ(engine_->LastError(),
              "No characteristic with the ID \"000C00990000\" has been discovered for the service with ID "
              "\"000C00000000\".");
    ASSERT_EQ(engine_->SetCharacteristic("000C000E0000"), 0);
    engine_->GetDescriptorCount(count);
    EXPECT_EQ(count, 3);

    EXPECT_EQ(engine_->SetCharacteristic(""), 0);
    engine_->GetDescriptorCount(count);
    EXPECT_EQ(count, 0);
    engine_->GetCharacteristic(selected);
    EXPECT_EQ(selected, "");
}

TEST_F(EngineModel, UnknownServiceFailsAndLeavesTheCharacteristicCleared)
{
    DiscoverEverything();
    engine_->SetService("000C00000000");
    engine_->SetCharacteristic("000C000E0000");
    EXPECT_EQ(engine_->SetService("00AB00000000"), 601);
    EXPECT_EQ(engine_->LastError(), "No service with the ID \"00AB00000000\" has been discovered.");
    std::string selected = "x";
    engine_->GetCharacteristic(selected);
    EXPECT_EQ(selected, "");
    short count = -1;
    engine_->GetDescriptorCount(count);
    EXPECT_EQ(count, 0);
}

TEST_F(EngineModel, EmptyServiceClearsSelectionAndArray)
{
    DiscoverEverything();
    engine_->SetService("000C00000000");
    EXPECT_EQ(engine_->SetService(""), 0);
    std::string selected = "x";
    engine_->GetService(selected);
    EXPECT_EQ(selected, "");
    short count = -1;
    engine_->GetCharacteristicCount(count);
    EXPECT_EQ(count, 0);
}

TEST_F(EngineModel, SelectNeedsAConnectionAndAServiceId)
{
    DiscoverEverything();
    EXPECT_EQ(engine_->Select("000C00000000", ""), 605);
    EXPECT_EQ(engine_->LastError(), "You must be connected to a server to perform the requested action.");
    BleEngineTestPeer::PretendConnected(*engine_, device_);
    EXPECT_EQ(engine_->Select("", "000C000E0000"), 202);
    EXPECT_EQ(engine_->LastError(), "Must supply a service ID.");

    ASSERT_EQ(engine_->Select("000100000000", ""), 0);
    // A characteristic of another service: Service and the Characteristic
    // array stay, the Characteristic and Descriptor arrays follow.
    ASSERT_EQ(engine_->Select("000C00000000", "000C000E0000"), 0);
    std::string service, characteristic;
    engine_->GetService(service);
    engine_->GetCharacteristic(characteristic);
    EXPECT_EQ(service, "000100000000");
    EXPECT_EQ(characteristic, "000C000E0000");
    EXPECT_EQ(Text(&BleEngine::GetCharacteristicId, 0), "000100030000");
    EXPECT_EQ(Text(&BleEngine::GetDescriptorId, 0), "000C000E000F");
    EXPECT_EQ(engine_->Select("000C00000000", "000C00770000"), 601);
}

TEST_F(EngineModel, CharacteristicFlagsAndSubscribability)
{
    DiscoverEverything();
    engine_->SetService("000C00000000");
    short flags = 0;
    ASSERT_EQ(engine_->GetCharacteristicFlags(0, flags), 0);
    EXPECT_EQ(flags, 0x0012);
    bool canSubscribe = false;
    engine_->GetCharacteristicCanSubscribe(0, canSubscribe);
    EXPECT_TRUE(canSubscribe);
    engine_->SetService("000100000000");
    engine_->GetCharacteristicCanSubscribe(0, canSubscribe);
    EXPECT_FALSE(canSubscribe);
    EXPECT_EQ(Text(&BleEngine::GetCharacteristicDescription, 0), "Device Name");
}

TEST_F(EngineModel, CharacteristicCountTruncatesAndGrows)
{
    DiscoverEverything();
    engine_->SetService("000C00000000");
    short count = 0;
    engine_->SetCharacteristicCount(3);
    engine_->GetCharacteristicCount(count);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(Text(&BleEngine::GetCharacteristicId, 0), "000C000E0000");
    EXPECT_EQ(Text(&BleEngine::GetCharacteristicId, 2), "") << "a grown slot reads empty";
    short flags = -1;
    EXPECT_EQ(engine_->GetCharacteristicFlags(2, flags), 0);
    EXPECT_EQ(flags, 0);
    engine_->SetCharacteristicCount(-4);
    engine_->GetCharacteristicCount(count);
    EXPECT_EQ(count, 0);
}

TEST_F(EngineModel, IndexesOutOfBounds)
{
    DiscoverEverything();
    std::string out;
    EXPECT_EQ(engine_->GetServiceId(4, out), 432);
    EXPECT_EQ(engine_->LastError(), "Invalid ServiceIndex (out of bounds).");
    EXPECT_EQ(engine_->GetServiceUuid(-1, out), 432);
    EXPECT_EQ(engine_->GetCharacteristicUuid(0, out), 432);
    EXPECT_EQ(engine_->LastError(), "Invalid CharacteristicIndex (out of bounds).");
    EXPECT_EQ(engine_->GetDescriptorId(0, out), 432);
    EXPECT_EQ(engine_->LastError(), "Invalid DescriptorIndex (out of bounds).");
}

TEST_F(EngineModel, LookupsWithTheirErrors)
{
    DiscoverEverything();
    const GattModel& model = BleEngineTestPeer::Model(*engine_);
    CharacteristicPtr chr;
    DescriptorPtr descriptor;
    struct Case {
        Status status;
        int code;
        const char* text;
    };
    for (const Case& c :
         {Case{model.FindCharacteristic("", "000C000E0000", chr), 202, "Must supply a service ID."},
          Case{model.FindCharacteristic("000C00000000", "", chr), 202, "Must supply a characteristic ID."},
          Case{model.FindCharacteristic("000D00000000", "000D000E0000", chr), 601,
               "No service with the ID \"000D00000000\" has been discovered."},
          Case{model.FindDescriptor("000C000E0000", "000C000E0099", descriptor), 601,
               "No descriptor with the ID \"000C000E0099\" has been discovered for the characteristic with ID "
               "\"000C000E0000\"."},
          Case{model.FindCharacteristic("000C00000000", "000C000E0000", chr), 0, ""},
          Case{model.FindDescriptor("000C000E0000", "000C000E0010", descriptor), 0, ""}}) {
        EXPECT_EQ(c.status.code, c.code) << c.text;
        EXPECT_EQ(c.status.text, c.text);
    }
    EXPECT_EQ(model.CharacteristicById("000c000e0000")->uuid, "00002A29-0000-1000-8000-00805F9B34FB");
}

TEST_F(EngineModel, TreeText)
{
    DiscoverEverything();
    BleEngineTestPeer::Model(*engine_).Subscriptions()["000C000E0000"] = true;
    const std::string expected =
        "GATT Object Tree Info [>Services, >>Characteristics, >>>Descriptors]:\r\n"
        ">00001800-0000-1000-8000-00805F9B34FB \"Generic Access\" [ID=000100000000, ParentSvcIds=\"\", "
        "IncludedSvcIds=\"\"]\r\n"
        ">>00002A00-0000-1000-8000-00805F9B34FB \"Device Name\" [ID=000100030000, Flags=0x2 (R), Subscribed=False, "
        "UserDescr=\"N\", VFCount=0]\r\n"
        ">>>00002901-0000-1000-8000-00805F9B34FB \"Characteristic User Description\" [ID=000100030005]\r\n"
        ">0000180A-0000-1000-8000-00805F9B34FB \"Device Information\" [ID=000C00000000, ParentSvcIds=\"\", "
        "IncludedSvcIds=\"\"]\r\n"
        ">>00002A29-0000-1000-8000-00805F9B34FB \"Manufacturer Name String\" [ID=000C000E0000, Flags=0x12 (R,N), "
        "Subscribed=True, UserDescr=\"Maker\", VFCount=1]\r\n"
        ">>>00002902-0000-1000-8000-00805F9B34FB \"Client Characteristic Configuration\" [ID=000C000E000F]\r\n"
        ">>>00002901-0000-1000-8000-00805F9B34FB \"Characteristic User Description\" [ID=000C000E0010]\r\n"
        ">>>00002904-0000-1000-8000-00805F9B34FB \"Characteristic Presentation Format\" [ID=000C000E0011]\r\n"
        ">00001817-0000-1000-8000-00805F9B34FB [ID=002000000000, ParentSvcIds=\"\", IncludedSvcIds=\"003000000000\"]\r\n"
        ">0000180F-0000-1000-8000-00805F9B34FB \"Battery Service\" [ID=003000000000, ParentSvcIds=\"002000000000\", "
        "IncludedSvcIds=\"\"]\r\n";
    EXPECT_EQ(Query("GattObjTreeInfo"), expected);
}

TEST_F(EngineModel, TreeTextOfAnEmptyModelIsTheHeader)
{
    EXPECT_EQ(Query("GattObjTreeInfo"),
              "GATT Object Tree Info [>Services, >>Characteristics, >>>Descriptors]:\r\n");
}

}  // namespace
}  // namespace vornik
