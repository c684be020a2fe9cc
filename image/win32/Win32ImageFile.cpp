#include "image/win32/Win32ImageFile.h"

std::unique_ptr<IImageFile> CWin32ImageFile::Open(const std::string& name) {
  HANDLE h = ::CreateFileA(name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return nullptr;
  return std::unique_ptr<IImageFile>(new CWin32ImageFile(h));
}

CWin32ImageFile::~CWin32ImageFile() { ::CloseHandle(m_hFile); }

std::uint32_t CWin32ImageFile::GetLength() {
  LARGE_INTEGER size;
  if (!::GetFileSizeEx(m_hFile, &size)) return 0;
  // Counts are 32-bit; a larger file is not an image anyway.
  return size.QuadPart > 0xFFFFFFFFLL ? 0xFFFFFFFFu : static_cast<std::uint32_t>(size.QuadPart);
}

bool CWin32ImageFile::Read(void* data, std::uint32_t n, std::uint32_t& done) {
  DWORD got = 0;
  const BOOL ok = ::ReadFile(m_hFile, data, n, &got, nullptr);
  done = got;
  return ok != FALSE;
}

bool CWin32ImageFile::Seek(std::uint32_t offset) {
  LARGE_INTEGER to;
  to.QuadPart = offset;
  return ::SetFilePointerEx(m_hFile, to, nullptr, FILE_BEGIN) != FALSE;
}
