#include "win32_threads.h"

#include <windows.h>

#include <algorithm>

namespace velmara {

namespace {

DWORD WINAPI RunJob(LPVOID parameter) {
  std::unique_ptr<ThreadJob> job(static_cast<ThreadJob*>(parameter));
  // Nothing may leave a thread procedure: an escaping exception would end the whole program.
  try {
    job->Run();
  } catch (...) {
  }
  return 0;
}

}  // namespace

bool Win32Threads::Start(std::unique_ptr<ThreadJob> job) {
  ForgetEnded();
  UniqueKernelHandle thread(CreateThread(nullptr, 0, RunJob, job.get(), 0, nullptr));
  if (!thread.Valid()) return false;
  job.release();
  running_.push_back(std::move(thread));
  return true;
}

bool Win32Threads::WaitForAll(std::uint32_t milliseconds) {
  const DWORD start = GetTickCount();
  while (!running_.empty()) {
    const DWORD elapsed = GetTickCount() - start;
    const DWORD left = elapsed < milliseconds ? milliseconds - elapsed : 0;
    // One wait takes at most MAXIMUM_WAIT_OBJECTS handles; the last of a batch to end releases it.
    const std::size_t batch = std::min<std::size_t>(running_.size(), MAXIMUM_WAIT_OBJECTS);
    std::vector<HANDLE> handles;
    for (std::size_t i = 0; i < batch; ++i) handles.push_back(running_[i].Get());
    const DWORD result = WaitForMultipleObjects(static_cast<DWORD>(batch), handles.data(), TRUE, left);
    if (result == WAIT_TIMEOUT || result == WAIT_FAILED) return false;
    running_.erase(running_.begin(), running_.begin() + static_cast<std::ptrdiff_t>(batch));
  }
  return true;
}

void Win32Threads::ForgetEnded() {
  running_.erase(std::remove_if(running_.begin(), running_.end(),
                                [](const UniqueKernelHandle& thread) {
                                  return WaitForSingleObject(thread.Get(), 0) == WAIT_OBJECT_0;
                                }),
                 running_.end());
}

}  // namespace velmara
