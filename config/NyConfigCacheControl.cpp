// The exported switches of the configuration cache and the counting callback.
#include "NyConfig.h"
#include "config/NyConfigCache.h"

namespace {

constexpr unsigned long kMinStringLimit = 999;

void (*g_countFunc)(long) = nullptr;

}  // namespace

bool NySetUseConfigCache(bool use, unsigned long stringLimit) {
  ny::config::NyConfigCache& cache = ny::config::TheConfigCache();
  bool flushed = cache.Flush();
  cache.m_dwStringLimit = stringLimit < kMinStringLimit ? kMinStringLimit : stringLimit;
  cache.m_bUse = use;
  return flushed;
}

bool NyIsUseConfigCache() { return ny::config::TheConfigCache().m_bUse; }

bool NyFlashConfigCache() { return ny::config::TheConfigCache().Flush(); }

void NySetConfigCacheCountFunc(void (*countFunc)(long)) { g_countFunc = countFunc; }

void NyDoConfigCacheCountFunc(long value) {
  if (g_countFunc) g_countFunc(value);
}
