#include "win32_threads.h"

#include <windows.h>

#include "win32_unique_handles.h"

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
  // The thread is never waited for, so its handle is closed at once; that does not stop it.
  UniqueKernelHandle thread(CreateThread(nullptr, 0, RunJob, job.get(), 0, nullptr));
  if (!thread.Valid()) return false;
  job.release();
  return true;
}

}  // namespace velmara
