// Typed configuration access: read or write one value, named by section and
// key, as a string, double, float, int, long or bool, in one of three layers.
//
// - Plain: the file the caller names by its path.
// - Default: the default configuration folder; the file is the application
//   configuration file unless one is named. Reads without a file name look
//   at the prior configuration file first. The prior file is never written.
// - User: the user configuration folder; the file is the user configuration
//   file unless one is named. Nothing is read or written there while the
//   user-configuration switch is off. Reads may fall back to the default
//   layer with the same file-name argument.
//
// Files hold sections and key=value lines, in UTF-16LE with the byte-order
// mark FF FE or in narrow ANSI text. Values hold at most 1023 bytes: string
// reads need a buffer of 1024 bytes, and longer values are not written.
// Doubles are stored with "." whatever the C locale's decimal point.
//
// T forms take the caller's texts as they are; a null section, key or path
// gives false. Forms without T copy each text first, so that null counts as
// the empty text, and their string reads always leave a text (the empty one
// on failure) in the caller's buffer.
//
// Results: plain reads are true when the arguments are acceptable and the
// file exists (and, for typed reads, the value parses): a plain string read
// of a missing key gives true and the empty text. Default and user string
// reads are true only for a non-empty value. Writes are true once the
// arguments are acceptable, whether or not the file could be written; a
// write creates the file's missing folders. On failure, typed outputs keep
// their value, except the plain double and int reads, which set 0 first.
//
// The host calls these functions from one thread at a time: the settings and
// the configuration cache are process-wide state, and the library takes no lock.
#pragma once

#include "NyApi.h"

// ---- Configuration cache ---------------------------------------------------------
// Off at load. While on, the first access to a file loads it whole; reads and
// writes then work in memory, and changed files are written back when the
// cache is flushed: on request, on switching, when it grows past its limits
// (`stringLimit` short texts, or more than 100 files) and when the library is
// unloaded. A cached file stays open with writing denied to other programs
// until the flush.

// Flushes, then sets the limit (at least 999) and the switch. Returns whether
// the flush wrote every changed file.
NY_API bool NySetUseConfigCache(bool use, unsigned long stringLimit = 90000);
NY_API bool NyIsUseConfigCache();
// Writes the changed files back and empties the cache; false when a changed
// file could not be written within 5 seconds (its changes are dropped).
NY_API bool NyFlashConfigCache();
// The counting callback (null: none). It is told 1 for each read of an
// existing file, 2 for each write, and 0 at each flush of a non-empty cache,
// whether or not the cache is on.
NY_API void NySetConfigCacheCountFunc(void (*countFunc)(long));
NY_API void NyDoConfigCacheCountFunc(long value);

// ---- Plain layer: the file at `path` ---------------------------------------

NY_API bool NyReadConfigT(const char* section, const char* key, char* value, const char* path);
NY_API bool NyReadConfigT(const char* section, const char* key, double& value, const char* path);
NY_API bool NyReadConfigT(const char* section, const char* key, float& value, const char* path);
// Also reads the bool words: "yes" is 1, "off" is 0.
NY_API bool NyReadConfigT(const char* section, const char* key, int& value, const char* path);
NY_API bool NyReadConfigT(const char* section, const char* key, long& value, const char* path);
NY_API bool NyReadConfigT(const char* section, const char* key, bool& value, const char* path);

NY_API bool NyReadConfig(const char* section, const char* key, char* value, const char* path);
NY_API bool NyReadConfig(const char* section, const char* key, double& value, const char* path);
NY_API bool NyReadConfig(const char* section, const char* key, float& value, const char* path);
NY_API bool NyReadConfig(const char* section, const char* key, int& value, const char* path);
NY_API bool NyReadConfig(const char* section, const char* key, long& value, const char* path);
NY_API bool NyReadConfig(const char* section, const char* key, bool& value, const char* path);

// A null or empty key removes the section (its keys) from the file.
NY_API bool NyWriteConfigT(const char* section, const char* key, const char* value, const char* path);
NY_API bool NyWriteConfigT(const char* section, const char* key, double value, const char* path);
NY_API bool NyWriteConfigT(const char* section, const char* key, float value, const char* path);
NY_API bool NyWriteConfigT(const char* section, const char* key, long value, const char* path);
NY_API bool NyWriteConfigT(const char* section, const char* key, int value, const char* path);
NY_API bool NyWriteConfigT(const char* section, const char* key, bool value, const char* path);

NY_API bool NyWriteConfig(const char* section, const char* key, const char* value, const char* path);
NY_API bool NyWriteConfig(const char* section, const char* key, double value, const char* path);
NY_API bool NyWriteConfig(const char* section, const char* key, float value, const char* path);
NY_API bool NyWriteConfig(const char* section, const char* key, long value, const char* path);
NY_API bool NyWriteConfig(const char* section, const char* key, int value, const char* path);
NY_API bool NyWriteConfig(const char* section, const char* key, bool value, const char* path);

// ---- Default layer: `fileName` (null or empty: the application file) ----------

NY_API bool NyReadDefaultConfigT(const char* section, const char* key, char* value,
                                 const char* fileName = nullptr);
NY_API bool NyReadDefaultConfigT(const char* section, const char* key, double& value,
                                 const char* fileName = nullptr);
NY_API bool NyReadDefaultConfigT(const char* section, const char* key, float& value,
                                 const char* fileName = nullptr);
NY_API bool NyReadDefaultConfigT(const char* section, const char* key, int& value,
                                 const char* fileName = nullptr);
NY_API bool NyReadDefaultConfigT(const char* section, const char* key, long& value,
                                 const char* fileName = nullptr);
NY_API bool NyReadDefaultConfigT(const char* section, const char* key, bool& value,
                                 const char* fileName = nullptr);

NY_API bool NyReadDefaultConfig(const char* section, const char* key, char* value,
                                const char* fileName = nullptr);
NY_API bool NyReadDefaultConfig(const char* section, const char* key, double& value,
                                const char* fileName = nullptr);
NY_API bool NyReadDefaultConfig(const char* section, const char* key, float& value,
                                const char* fileName = nullptr);
NY_API bool NyReadDefaultConfig(const char* section, const char* key, int& value,
                                const char* fileName = nullptr);
NY_API bool NyReadDefaultConfig(const char* section, const char* key, long& value,
                                const char* fileName = nullptr);
NY_API bool NyReadDefaultConfig(const char* section, const char* key, bool& value,
                                const char* fileName = nullptr);

NY_API bool NyWriteDefaultConfigT(const char* section, const char* key, const char* value,
                                  const char* fileName = nullptr);
NY_API bool NyWriteDefaultConfigT(const char* section, const char* key, double value,
                                  const char* fileName = nullptr);
NY_API bool NyWriteDefaultConfigT(const char* section, const char* key, float value,
                                  const char* fileName = nullptr);
NY_API bool NyWriteDefaultConfigT(const char* section, const char* key, long value,
                                  const char* fileName = nullptr);
NY_API bool NyWriteDefaultConfigT(const char* section, const char* key, int value,
                                  const char* fileName = nullptr);
NY_API bool NyWriteDefaultConfigT(const char* section, const char* key, bool value,
                                  const char* fileName = nullptr);

NY_API bool NyWriteDefaultConfig(const char* section, const char* key, const char* value,
                                 const char* fileName = nullptr);
NY_API bool NyWriteDefaultConfig(const char* section, const char* key, double value,
                                 const char* fileName = nullptr);
NY_API bool NyWriteDefaultConfig(const char* section, const char* key, float value,
                                 const char* fileName = nullptr);
NY_API bool NyWriteDefaultConfig(const char* section, const char* key, long value,
                                 const char* fileName = nullptr);
NY_API bool NyWriteDefaultConfig(const char* section, const char* key, int value,
                                 const char* fileName = nullptr);
NY_API bool NyWriteDefaultConfig(const char* section, const char* key, bool value,
                                 const char* fileName = nullptr);

// ---- User layer: `fileName` (null or empty: the user file) --------------------
// With `fallBack`, a read that finds nothing in the user layer (or finds the
// switch off) answers from the default layer with the same `fileName`.

NY_API bool NyReadUserConfigT(const char* section, const char* key, char* value,
                              const char* fileName = nullptr, bool fallBack = true);
NY_API bool NyReadUserConfigT(const char* section, const char* key, double& value,
                              const char* fileName = nullptr, bool fallBack = true);
NY_API bool NyReadUserConfigT(const char* section, const char* key, float& value,
                              const char* fileName = nullptr, bool fallBack = true);
NY_API bool NyReadUserConfigT(const char* section, const char* key, int& value,
                              const char* fileName = nullptr, bool fallBack = true);
NY_API bool NyReadUserConfigT(const char* section, const char* key, long& value,
                              const char* fileName = nullptr, bool fallBack = true);
NY_API bool NyReadUserConfigT(const char* section, const char* key, bool& value,
                              const char* fileName = nullptr, bool fallBack = true);

NY_API bool NyReadUserConfig(const char* section, const char* key, char* value,
                             const char* fileName = nullptr, bool fallBack = true);
NY_API bool NyReadUserConfig(const char* section, const char* key, double& value,
                             const char* fileName = nullptr, bool fallBack = true);
NY_API bool NyReadUserConfig(const char* section, const char* key, float& value,
                             const char* fileName = nullptr, bool fallBack = true);
NY_API bool NyReadUserConfig(const char* section, const char* key, int& value, const char* fileName = nullptr,
                             bool fallBack = true);
NY_API bool NyReadUserConfig(const char* section, const char* key, long& value,
                             const char* fileName = nullptr, bool fallBack = true);
NY_API bool NyReadUserConfig(const char* section, const char* key, bool& value,
                             const char* fileName = nullptr, bool fallBack = true);

// True at once, writing nothing, while the user-configuration switch is off.
NY_API bool NyWriteUserConfigT(const char* section, const char* key, const char* value,
                               const char* fileName = nullptr);
NY_API bool NyWriteUserConfigT(const char* section, const char* key, double value,
                               const char* fileName = nullptr);
NY_API bool NyWriteUserConfigT(const char* section, const char* key, float value,
                               const char* fileName = nullptr);
NY_API bool NyWriteUserConfigT(const char* section, const char* key, long value,
                               const char* fileName = nullptr);
NY_API bool NyWriteUserConfigT(const char* section, const char* key, int value,
                               const char* fileName = nullptr);
NY_API bool NyWriteUserConfigT(const char* section, const char* key, bool value,
                               const char* fileName = nullptr);

NY_API bool NyWriteUserConfig(const char* section, const char* key, const char* value,
                              const char* fileName = nullptr);
NY_API bool NyWriteUserConfig(const char* section, const char* key, double value,
                              const char* fileName = nullptr);
NY_API bool NyWriteUserConfig(const char* section, const char* key, float value,
                              const char* fileName = nullptr);
NY_API bool NyWriteUserConfig(const char* section, const char* key, long value,
                              const char* fileName = nullptr);
NY_API bool NyWriteUserConfig(const char* section, const char* key, int value,
                              const char* fileName = nullptr);
NY_API bool NyWriteUserConfig(const char* section, const char* key, bool value,
                              const char* fileName = nullptr);
