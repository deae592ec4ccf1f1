#include "platform/com/LiveObjects.h"

#include <atomic>

namespace {
std::atomic<int64_t> g_liveObjects{0};
std::atomic<int64_t> g_liveBstrs{0};
std::atomic<int64_t> g_liveArrays{0};
}  // namespace

CComLiveObject::CComLiveObject() { ++g_liveObjects; }
CComLiveObject::CComLiveObject(const CComLiveObject&) { ++g_liveObjects; }
CComLiveObject::~CComLiveObject() { --g_liveObjects; }
int64_t CComLiveObject::GetLiveCount() { return g_liveObjects.load(); }

int64_t GetLiveBstrCount() { return g_liveBstrs.load(); }
int64_t GetLiveSafeArrayCount() { return g_liveArrays.load(); }

namespace com_detail {
void AdjustLiveBstrs(int delta) { g_liveBstrs += delta; }
void AdjustLiveSafeArrays(int delta) { g_liveArrays += delta; }
}  // namespace com_detail
