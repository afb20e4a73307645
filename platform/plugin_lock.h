#pragma once

// The plug-in lock: one re-entrant lock per instance. A thread that holds it may enter it again.
// Threads: any. The audio thread holds it for a whole block, so every other thread holds it only
// to copy (never to compute, wait or show anything); on POSIX it lends a waiting real-time thread's
// priority to its holder.
// Storage is kept inline so that no platform header leaks into the rest of the tree.
class PluginLock {
  public:
    PluginLock();
    ~PluginLock();
    PluginLock(const PluginLock&) = delete;
    PluginLock& operator=(const PluginLock&) = delete;

    void Enter();
    void Leave();
    bool TryEnter();

  private:
    alignas(16) unsigned char storage[64];
};

// Holds a PluginLock for the lifetime of a scope.
class PluginLockGuard {
  public:
    explicit PluginLockGuard(PluginLock& l) : lock(l) { lock.Enter(); }
    ~PluginLockGuard() { lock.Leave(); }
    PluginLockGuard(const PluginLockGuard&) = delete;
    PluginLockGuard& operator=(const PluginLockGuard&) = delete;

  private:
    PluginLock& lock;
};
