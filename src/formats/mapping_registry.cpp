#include "formats/mapping_registry.h"

#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <mutex>

namespace delvix::formats {

namespace {

enum SlotState : int { freeSlot, claimed, live };

struct Slot {
  std::atomic<int> state{freeSlot};
  std::atomic<std::uintptr_t> begin{0};
  std::atomic<std::size_t> length{0};
  std::atomic<bool> damaged{false};
  std::atomic<const void*> owner{nullptr};
};

std::array<Slot, MappingRegistry::capacity> slots;
std::atomic<std::uintptr_t> pageSize{4096};
struct sigaction previousAction {};

// Only what is async-signal-safe: atomics, mmap and sigaction.
void onBusError(int signal, siginfo_t* info, void* context) {
  if (info && info->si_code > 0) {
    const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
    for (Slot& slot : slots) {
      if (slot.state.load(std::memory_order_acquire) != live) continue;
      const std::uintptr_t begin = slot.begin.load(std::memory_order_relaxed);
      if (address < begin || address - begin >= slot.length.load(std::memory_order_relaxed)) continue;
      const std::uintptr_t page = address & ~(pageSize.load(std::memory_order_relaxed) - 1);
      void* zeros = ::mmap(reinterpret_cast<void*>(page), pageSize.load(std::memory_order_relaxed), PROT_READ,
                           MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
      if (zeros == MAP_FAILED) break;
      slot.damaged.store(true, std::memory_order_release);
      return;  // the read is made again, and finds zeros
    }
  }
  if ((previousAction.sa_flags & SA_SIGINFO) && previousAction.sa_sigaction) {
    previousAction.sa_sigaction(signal, info, context);
    return;
  }
  if (previousAction.sa_handler != SIG_DFL && previousAction.sa_handler != SIG_IGN && previousAction.sa_handler) {
    previousAction.sa_handler(signal);
    return;
  }
  // The usual effect: with the default action back, the faulting read raises the signal again.
  struct sigaction usual {};
  usual.sa_handler = SIG_DFL;
  sigemptyset(&usual.sa_mask);
  ::sigaction(SIGBUS, &usual, nullptr);
  if (info && info->si_code <= 0) ::raise(SIGBUS);
}

void installHandler() {
  static std::once_flag once;
  std::call_once(once, [] {
    if (const long size = ::sysconf(_SC_PAGESIZE); size > 0) pageSize = static_cast<std::uintptr_t>(size);
    struct sigaction action {};
    action.sa_sigaction = onBusError;
    action.sa_flags = SA_SIGINFO | SA_NODEFER;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGBUS, &action, &previousAction);
  });
}

}  // namespace

int MappingRegistry::add(const void* begin, std::size_t length, const void* owner) {
  installHandler();
  for (std::size_t i = 0; i < slots.size(); ++i) {
    Slot& slot = slots[i];
    int expected = freeSlot;
    if (!slot.state.compare_exchange_strong(expected, claimed, std::memory_order_acq_rel)) continue;
    slot.begin.store(reinterpret_cast<std::uintptr_t>(begin), std::memory_order_relaxed);
    slot.length.store(length, std::memory_order_relaxed);
    slot.damaged.store(false, std::memory_order_relaxed);
    slot.owner.store(owner, std::memory_order_relaxed);
    slot.state.store(live, std::memory_order_release);
    return static_cast<int>(i);
  }
  return -1;
}

void MappingRegistry::remove(int slot) {
  if (slot < 0 || slot >= capacity) return;
  slots[static_cast<std::size_t>(slot)].owner.store(nullptr, std::memory_order_relaxed);
  slots[static_cast<std::size_t>(slot)].state.store(freeSlot, std::memory_order_release);
}

bool MappingRegistry::damaged(int slot) {
  return slot >= 0 && slot < capacity && slots[static_cast<std::size_t>(slot)].damaged.load(std::memory_order_acquire);
}

const void* MappingRegistry::ownerOf(const void* begin, std::size_t length) {
  const auto address = reinterpret_cast<std::uintptr_t>(begin);
  for (Slot& slot : slots) {
    if (slot.state.load(std::memory_order_acquire) != live) continue;
    const std::uintptr_t start = slot.begin.load(std::memory_order_relaxed);
    const std::size_t size = slot.length.load(std::memory_order_relaxed);
    if (address >= start && address - start <= size && length <= size - (address - start))
      return slot.owner.load(std::memory_order_relaxed);
  }
  return nullptr;
}

}  // namespace delvix::formats
