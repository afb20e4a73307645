// What a host learns from the module before it creates anything: exports, factory and class.
#include "vst3/host/shared_host.h"

#include <cstring>
#include <string>
#include <thread>

using namespace vst;

namespace {
const unsigned char kClassIdWindows[16] = {0x0D, 0xE7, 0xAE, 0xF2, 0xDE, 0x00, 0x4E, 0x4F,
                                           'T',  's',  'v',  'n',  'T',  's',  'v',  '2'};
const unsigned char kClassIdLinux[16] = {0xF2, 0xAE, 0xE7, 0x0D, 0x00, 0xDE, 0x4F, 0x4E,
                                         'T',  's',  'v',  'n',  'T',  's',  'v',  '2'};
} // namespace

TEST(ModuleFactory, ExportsAndSharesOneFactory) {
    REQUIRE_MODULE();
    const LoadedModule& m = SharedHost().Module();
    EXPECT_NE(m.Symbol("GetPluginFactory"), nullptr);
#if defined(_WIN32)
    EXPECT_NE(m.Symbol("InitDll"), nullptr);
    EXPECT_NE(m.Symbol("ExitDll"), nullptr);
#else
    EXPECT_NE(m.Symbol("ModuleEntry"), nullptr);
    EXPECT_NE(m.Symbol("ModuleExit"), nullptr);
#endif
    auto get = reinterpret_cast<IPluginFactory* (*)()>(m.Symbol("GetPluginFactory"));
    IPluginFactory* again = get();
    EXPECT_EQ(again, SharedHost().Factory());
    // The second call added one reference, which the next addRef shows.
    EXPECT_EQ(again->addRef(), 3u);
    again->release();
    again->release();

    for (const Uid* iid :
         {&IPluginFactory::iid, &IPluginFactory2::iid, &IPluginFactory3::iid, &FUnknown::iid}) {
        void* out = nullptr;
        EXPECT_EQ(again->queryInterface(iid->Data(), &out), kResultOk);
        EXPECT_EQ(out, static_cast<void*>(again));
        if (out) static_cast<FUnknown*>(out)->release();
    }
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(again->queryInterface(IComponent::iid.Data(), &out), kNoInterface);
    EXPECT_EQ(out, nullptr);
}

TEST(ModuleFactory, DescribesTheOneClass) {
    REQUIRE_MODULE();
    IPluginFactory* factory = SharedHost().Factory();
    PFactoryInfo fi{};
    ASSERT_EQ(factory->getFactoryInfo(&fi), kResultOk);
    EXPECT_STREQ(fi.vendor, "tessivane-vorelline.example");
    EXPECT_STREQ(fi.url, "https://tessivane-vorelline.example");
    EXPECT_STREQ(fi.email, "support@tessivane-vorelline.example");
    EXPECT_EQ(fi.flags, 16);
    ASSERT_EQ(factory->countClasses(), 1);

    auto* f3 = Query<IPluginFactory3>(factory);
    ASSERT_NE(f3, nullptr);
    PClassInfo2 info{};
    ASSERT_EQ(f3->getClassInfo2(0, &info), kResultOk);
#if defined(_WIN32)
    EXPECT_EQ(std::memcmp(info.cid, kClassIdWindows, 16), 0);
#else
    EXPECT_EQ(std::memcmp(info.cid, kClassIdLinux, 16), 0);
#endif
    EXPECT_EQ(info.cardinality, 0x7FFFFFFF);
    EXPECT_STREQ(info.category, "Audio Module Class");
    EXPECT_STREQ(info.name, "Tessivane Vorelline");
    EXPECT_EQ(info.classFlags, 2u);
    EXPECT_STREQ(info.subCategories, "Fx");
    EXPECT_STREQ(info.vendor, "");
    EXPECT_STREQ(info.version, "2.0.3");
    EXPECT_STREQ(info.sdkVersion, "VST 3.6.10");

    PClassInfo v1{};
    ASSERT_EQ(f3->getClassInfo(0, &v1), kResultOk);
    EXPECT_EQ(std::memcmp(&v1, &info, sizeof v1), 0);
    PClassInfoW wide{};
    ASSERT_EQ(f3->getClassInfoUnicode(0, &wide), kResultOk);
    EXPECT_EQ(Text16(wide.name), u"Tessivane Vorelline");
    EXPECT_EQ(Text16(wide.version), u"2.0.3");
    EXPECT_EQ(Text16(wide.sdkVersion), u"VST 3.6.10");
    EXPECT_EQ(Text16(wide.vendor), u"");
    EXPECT_EQ(wide.classFlags, 2u);
    EXPECT_STREQ(wide.subCategories, "Fx");

    for (int32 bad : {-1, 1}) {
        EXPECT_EQ(f3->getClassInfo2(bad, &info), kInvalidArgument);
        EXPECT_EQ(f3->getClassInfoUnicode(bad, &wide), kInvalidArgument);
        EXPECT_EQ(f3->getClassInfo(bad, &v1), kInvalidArgument);
    }
    EXPECT_EQ(f3->getClassInfo(0, nullptr), kInvalidArgument);
    f3->release();
}

TEST(ModuleFactory, CreatesOnlyItsClassAndOfferedInterfaces) {
    REQUIRE_MODULE();
    IPluginFactory* factory = SharedHost().Factory();
    char otherClass[16] = {};
    void* obj = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->createInstance(otherClass, IComponent::iid.Data(), &obj), kNoInterface);
    EXPECT_EQ(obj, nullptr);
    obj = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->createInstance(SharedHost().ClassId(), IPlugView::iid.Data(), &obj), kNoInterface);
    EXPECT_EQ(obj, nullptr);

    // Every interface the object offers may be asked for at creation; the host holds exactly one reference.
    for (const Uid* iid : {&FUnknown::iid, &IComponent::iid, &IAudioProcessor::iid, &IEditController::iid}) {
        FUnknown* made = SharedHost().Create(*iid);
        ASSERT_NE(made, nullptr);
        EXPECT_EQ(made->addRef(), 2u);
        EXPECT_EQ(made->release(), 1u);
        EXPECT_EQ(made->release(), 0u);
    }
}

TEST(ModuleFactory, InstancesMadeOnTwoThreadsAtOnceAreIndependent) {
    REQUIRE_MODULE();
    constexpr int kRounds = 6;
    FUnknown* made[2][kRounds] = {};
    auto work = [&](int t) {
        for (int i = 0; i < kRounds; ++i)
            made[t][i] = SharedHost().Create(IComponent::iid);
    };
    std::thread a(work, 0), b(work, 1);
    a.join();
    b.join();
    TestHostApplication app;
    for (int i = 0; i < kRounds; ++i) {
        ASSERT_NE(made[0][i], nullptr);
        ASSERT_NE(made[1][i], nullptr);
        ASSERT_NE(made[0][i], made[1][i]);
        // A change to one instance is not seen by the other.
        auto* c0 = static_cast<IComponent*>(made[0][i]);
        auto* c1 = static_cast<IComponent*>(made[1][i]);
        ASSERT_EQ(c0->initialize(&app), kResultOk);
        ASSERT_EQ(c1->initialize(&app), kResultOk);
        auto* e0 = Query<IEditController>(c0);
        auto* e1 = Query<IEditController>(c1);
        EXPECT_EQ(e0->setParamNormalized(3, 0.125), kResultOk);
        EXPECT_DOUBLE_EQ(e0->getParamNormalized(3), 0.125);
        EXPECT_DOUBLE_EQ(e1->getParamNormalized(3), 0.5);
        e0->release();
        e1->release();
    }
    std::thread c([&] {
        for (int i = 0; i < kRounds; ++i)
            static_cast<IComponent*>(made[0][i])->terminate(), made[0][i]->release();
    });
    std::thread d([&] {
        for (int i = 0; i < kRounds; ++i)
            static_cast<IComponent*>(made[1][i])->terminate(), made[1][i]->release();
    });
    c.join();
    d.join();
    EXPECT_EQ(app.References(), 1);
}

TEST(ModuleFactory, ShippedInTheBundleLayoutHostsSearch) {
#if defined(_WIN32)
    const std::string suffix = "/TessivaneVorelline.vst3/Contents/x86_64-win/TessivaneVorelline.vst3";
#else
    const std::string suffix = "/TessivaneVorelline.vst3/Contents/x86_64-linux/TessivaneVorelline.so";
#endif
    const std::string path = TV_TEST_MODULE_PATH;
    ASSERT_GE(path.size(), suffix.size());
    EXPECT_EQ(path.substr(path.size() - suffix.size()), suffix);
    REQUIRE_MODULE();
}
