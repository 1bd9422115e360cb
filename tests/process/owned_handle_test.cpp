// The owned handle that NyCommandLine keeps its child in: copies own
// duplicates of one object, moves hand the handle over, and each handle is
// closed exactly once, keeping the caller's last error.
#include <utility>

#include "ProcessTestSupport.h"

namespace {

HANDLE NewEvent() { return ::CreateEventA(nullptr, TRUE, FALSE, nullptr); }

bool IsOpen(HANDLE handle) {
  DWORD flags = 0;
  return ::GetHandleInformation(handle, &flags) != FALSE;
}

}  // namespace

TEST(OwnedHandle, CopiesOwnDuplicatesOfOneObject) {
  const HANDLE raw = NewEvent();
  ASSERT_NE(raw, nullptr);
  NyOwnedHandle original(raw);
  {
    NyOwnedHandle copy(original), assigned;
    assigned = original;
    EXPECT_NE(static_cast<HANDLE>(copy), raw);
    EXPECT_NE(static_cast<HANDLE>(assigned), raw);
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
  EXPECT_EQ(static_cast<HANDLE>(original), raw);
}

TEST(OwnedHandle, MovesReleasesResetsAndFailedDuplicates) {
  NyOwnedHandle empty, emptyCopy(empty);
  EXPECT_EQ(static_cast<HANDLE>(emptyCopy), nullptr);

  const HANDLE raw = NewEvent();
  NyOwnedHandle source(raw), moved(std::move(source));
  EXPECT_EQ(static_cast<HANDLE>(source), nullptr);
  EXPECT_EQ(static_cast<HANDLE>(moved), raw);
  EXPECT_EQ(moved.Release(), raw);
  EXPECT_EQ(static_cast<HANDLE>(moved), nullptr);
  EXPECT_TRUE(IsOpen(raw));  // released, not closed

  // A value that names nothing any more cannot be duplicated: the copy has no handle.
  ASSERT_TRUE(::CloseHandle(raw));
  NyOwnedHandle stale(raw), staleCopy(stale);
  EXPECT_EQ(static_cast<HANDLE>(staleCopy), nullptr);
  (void)stale.Release();  // not ours to close: the value may be reused

  NyOwnedHandle event(NewEvent());
  const HANDLE closed = event;
  ::SetLastError(0xdeadbeef);
  event.Reset();
  EXPECT_EQ(::GetLastError(), 0xdeadbeefu);
  EXPECT_FALSE(IsOpen(closed));
  EXPECT_EQ(static_cast<HANDLE>(event), nullptr);
}
