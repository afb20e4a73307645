// Each setting enters the engine once, whichever way it comes: a host's automation, an editor
// click, a loaded file or a restored state each ask for exactly one design.
#include "app_fixture.h"

#include "plugin/alg_file.h"
#include "plugin/editor_layout.h"
#include "plugin/parameter_table.h"
#include "support/host_objects.h"

#include <filesystem>
#include <functional>

namespace fs = std::filesystem;

TEST_F(EditorApp, EachSelectionChangeAsksForOneDesign) {
    Prepare(48000.0);
    const fs::path file = fs::path(fx->DocumentsFolder()) / "one door.alg";
    AlgRecord record;
    record.flags = 2 + 8; // corrected target, high resolution
    record.targetBands.fill(1.5);
    record.referenceBands.fill(1.0);
    record.userCurve.fill(1.0);
    ASSERT_TRUE(SaveAlgFile(file.string(), record));
    // A state with "Outputs" at the reference, from an instance as it is built.
    MemoryStream state;
    {
        IMicCorrector* fresh = new IMicCorrector(CreateHeadlessEditor);
        ASSERT_EQ(fresh->componentGetState(&state), vst::kResultOk);
        fresh->release();
    }

    struct Case {
        const char* what;
        std::function<void()> change;
        double outputs; // what is heard afterwards
        std::uint64_t requests;
    };
    const Case cases[] = {
        {"host automation",
         [&] {
             ParameterChanges changes;
             changes.Add(kParamOutputs, {{0, 1.0}});
             vst::ProcessData data{};
             data.symbolicSampleSize = vst::kSample64;
             data.inputParameterChanges = &changes;
             fx->process(data);
         },
         1.0, 1},
        {"editor click", [&] { Click(532, 197); }, 0.5, 1},
        {"the same mark again", [&] { Click(532, 197); }, 0.5, 0},
        {"loaded file",
         [&] {
             dialogs.files = {file.string()};
             ClickCentre(editor_rect::kLoad);
         },
         1.0, 1},
        {"restored state",
         [&] {
             MemoryStream again(state.data);
             fx->componentSetState(&again);
         },
         0.0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fx->CompleteRequestedWork();
        const std::uint64_t before = Engine().Snapshot().designRequests;
        c.change();
        const EngineSnapshot after = Engine().Snapshot();
        EXPECT_EQ(after.designRequests - before, c.requests);
        EXPECT_EQ(after.outputSelection, c.outputs);
        EXPECT_EQ(Param(kParamOutputs), c.outputs);
        fx->CompleteRequestedWork();
        EXPECT_FALSE(Engine().DesignPending());
    }
    EXPECT_TRUE(messages.entries.empty());
    fs::remove(file);
}
