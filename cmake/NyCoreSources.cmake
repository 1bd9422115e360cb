# The platform-free internals, relative to the repository root: the sources
# of the static library DoRorCore, and of its native (Linux, sanitizer and
# fuzzing) build in native/. Only the code page's answers differ between the
# two: NY_CORE_WINDOWS_SOURCES asks the platform, NY_CORE_NATIVE_SOURCES
# answers from tables.
set(NY_CORE_SOURCES
  base/NyMultiByte.cpp
  base/NyCodePageTables.cpp
  base/NyPathText.cpp
  config/NyConfigText.cpp
  config/NyConfigValue.cpp
  config/NyConfigStringStore.cpp
  config/NyConfigKeyIndex.cpp
  config/NyConfigKeyTable.cpp
  strings/NyStringEscapes.cpp
  util/NyCsvText.cpp
  process/NyCommandLineText.cpp
  process/NyDumpFolder.cpp
  dialogs/NyLayout.cpp
  dialogs/NyDialogPosition.cpp
  dialogs/NyMessageLoop.cpp
  controls/NyRegionRuns.cpp
  controls/NySliderEditLayout.cpp)
set(NY_CORE_WINDOWS_SOURCES base/NyCodePageWin.cpp)
set(NY_CORE_NATIVE_SOURCES base/NyCodePageNative.cpp)
