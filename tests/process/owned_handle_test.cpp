// The handle NyCommandLine keeps its child in: copies own duplicates of one
// object, moves hand it over, each handle is closed once, keeping the last error.
#include <utility>

#include "ProcessTestSupport.h"

namespace {
HANDLE NewEvent() { return ::CreateEventA(nullptr, TRUE, FALSE, nullptr); }
bool IsOpen(HANDLE handle) {
  DWORD flags = 0;
  return ::GetHandleInformation(handle, &flags) != FALSE;
}
}  // namespace

TEST(OwnedHandle, CopiesDuplicateMovesHandOver) {
  const HANDLE raw = NewEvent();
  ASSERT_NE(raw, nullptr);
  NyOwnedHandle original(raw);
  {
    NyOwnedHandle copy(original), assigned;
    assigned = original;
    EXPECT_NE(static_cast<HANDLE>(copy), raw);
    ASSERT_TRUE(::SetEvent(copy));
    EXPECT_EQ(::WaitForSingleObject(assigned, 0), WAIT_OBJECT_0);  // the same event
    const HANDLE overwritten = copy;
    copy = assigned;  // closes the copy's own handle
    EXPECT_FALSE(IsOpen(overwritten));
  }
  EXPECT_TRUE(IsOpen(raw));  // the copies closed only their own
  NyOwnedHandle& self = original;
  original = self;
  original = std::move(self);
  NyOwnedHandle moved(std::move(original));
  EXPECT_EQ(static_cast<HANDLE>(original), nullptr);
  EXPECT_EQ(moved.Release(), raw);
  EXPECT_EQ(static_cast<HANDLE>(moved), nullptr);
  EXPECT_TRUE(IsOpen(raw));  // released, not closed

  // A value that names nothing any more cannot be duplicated, nor can nothing.
  ASSERT_TRUE(::CloseHandle(raw));
  NyOwnedHandle stale(raw), staleCopy(stale), empty, emptyCopy(empty);
  EXPECT_EQ(static_cast<HANDLE>(staleCopy), nullptr);
  EXPECT_EQ(static_cast<HANDLE>(emptyCopy), nullptr);
  (void)stale.Release();  // not ours to close: the value may be reused

  NyOwnedHandle event(NewEvent());
  const HANDLE closed = event;
  ::SetLastError(0xdeadbeef);
  event.Reset();
  EXPECT_EQ(::GetLastError(), 0xdeadbeefu);
  EXPECT_FALSE(IsOpen(closed));
  EXPECT_EQ(static_cast<HANDLE>(event), nullptr);
}
