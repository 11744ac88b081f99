// Guarded reads of the own process.
#include <sys/uio.h>
#include <unistd.h>

#include "crashreport/zorDisAsm.h"

namespace zor {

bool SafeRead(const void* source, void* destination, size_t count) {
  if (!source || !destination) return false;
  if (count == 0) return true;
  iovec local{destination, count};
  iovec remote{const_cast<void*>(source), count};
  const ssize_t n = process_vm_readv(getpid(), &local, 1, &remote, 1, 0);
  return n >= 0 && static_cast<size_t>(n) == count;
}

}  // namespace zor
