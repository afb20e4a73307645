// The host-value mailbox: host values and whole redraws asked for on the audio thread or a host
// thread wait in atomics until the editor thread's draw cycle hands them to the controls, which
// belong to that thread alone.
#include "vst3/effect_vst3.h"

#include "platform/plugin_lock.h"

#include <algorithm>

void IEffectVST3::ApplyHostValueFromProcess(int paramIdx, double normalized) {
    if (paramIdx < 0 || paramIdx >= kMailboxSlots) return;
    pendingHostValues[static_cast<std::size_t>(paramIdx)].store(normalized, std::memory_order_relaxed);
    pendingHostMask.fetch_or(1u << paramIdx, std::memory_order_release);
}

void IEffectVST3::RedrawParamControls() {
    redrawAllPending.store(true, std::memory_order_release);
}

void IEffectVST3::DeliverHostValuesToControls() {
    IEditorLink* link = Graphics();
    if (!link) return;
    if (redrawAllPending.exchange(false, std::memory_order_acq_rel)) {
        // Values as they stand now, which also covers any single value still waiting. They are read
        // under the lock (a preset restored in process writes them) and shown outside it.
        pendingHostMask.store(0, std::memory_order_relaxed);
        std::array<double, kMailboxSlots> values{};
        const int count = std::min(NParams(), kMailboxSlots);
        {
            PluginLockGuard guard(Lock());
            for (int i = 0; i < count; ++i)
                values[static_cast<std::size_t>(i)] = GetParam(i)->ToNormalized(GetParam(i)->value);
        }
        for (int i = 0; i < count; ++i)
            link->ApplyHostValueToControls(i, values[static_cast<std::size_t>(i)]);
        link->MarkAllControlsDirty();
        return;
    }
    std::uint32_t mask = pendingHostMask.exchange(0, std::memory_order_acq_rel);
    for (int i = 0; mask; ++i, mask >>= 1)
        if (mask & 1u)
            link->ApplyHostValueToControls(
                i, pendingHostValues[static_cast<std::size_t>(i)].load(std::memory_order_relaxed));
}
