#include <gtest/gtest.h>
#include <shlwapi.h>

#include <cstring>
#include <string>

namespace {

LARGE_INTEGER offset(LONGLONG value) {
  LARGE_INTEGER l{};
  l.QuadPart = value;
  return l;
}

std::string readAll(IStream* stream) {
  char buffer[64] = {};
  ULONG got = 0;
  stream->Read(buffer, sizeof buffer, &got);
  return std::string(buffer, got);
}

}  // namespace

// The stream holds its own copy: the caller's bytes may change or go at once.
TEST(MemoryStream, ReadsACopyAndSeeksFromEachOrigin) {
  char source[] = "corvane";
  IStream* stream = SHCreateMemStream(reinterpret_cast<const BYTE*>(source), 7);
  ASSERT_NE(stream, nullptr);
  std::memset(source, 'x', sizeof source - 1);
  char two[2];
  ULONG got = 0;
  EXPECT_EQ(stream->Read(two, 2, &got), S_OK);
  EXPECT_EQ(std::string(two, got), "co");
  ULARGE_INTEGER at{};
  EXPECT_EQ(stream->Seek(offset(1), STREAM_SEEK_CUR, &at), S_OK);
  EXPECT_EQ(at.QuadPart, 3u);
  EXPECT_EQ(readAll(stream), "vane");
  EXPECT_EQ(stream->Seek(offset(-4), STREAM_SEEK_END, &at), S_OK);
  EXPECT_EQ(readAll(stream), "vane");
  // A short read says so; before the start is refused and the position stays.
  EXPECT_EQ(stream->Read(two, 2, &got), S_FALSE);
  EXPECT_EQ(got, 0u);
  EXPECT_EQ(stream->Seek(offset(-1), STREAM_SEEK_SET, &at), STG_E_INVALIDFUNCTION);
  EXPECT_EQ(stream->Seek(offset(0), STREAM_SEEK_CUR, &at), S_OK);
  EXPECT_EQ(at.QuadPart, 7u);
  STATSTG stat{};
  EXPECT_EQ(stream->Stat(&stat, STATFLAG_NONAME), S_OK);
  EXPECT_EQ(stat.type, static_cast<DWORD>(STGTY_STREAM));
  EXPECT_EQ(stat.cbSize.QuadPart, 7u);
  EXPECT_EQ(stream->Release(), 0u);
}

TEST(MemoryStream, WritesGrowItAndCopiesGoToAnotherStream) {
  IStream* stream = SHCreateMemStream(nullptr, 0);
  ASSERT_NE(stream, nullptr);
  ULONG written = 0;
  EXPECT_EQ(stream->Seek(offset(2), STREAM_SEEK_SET, nullptr), S_OK);
  EXPECT_EQ(stream->Write("ab", 2, &written), S_OK);
  EXPECT_EQ(written, 2u);
  stream->Seek(offset(0), STREAM_SEEK_SET, nullptr);
  EXPECT_EQ(readAll(stream), std::string("\0\0ab", 4));  // the gap is zeros

  IStream* copy = SHCreateMemStream(nullptr, 0);
  ASSERT_NE(copy, nullptr);
  stream->Seek(offset(1), STREAM_SEEK_SET, nullptr);
  ULARGE_INTEGER want{}, read{}, wrote{};
  want.QuadPart = 100;
  EXPECT_EQ(stream->CopyTo(copy, want, &read, &wrote), S_OK);
  EXPECT_EQ(read.QuadPart, 3u);
  EXPECT_EQ(wrote.QuadPart, 3u);
  copy->Seek(offset(0), STREAM_SEEK_SET, nullptr);
  EXPECT_EQ(readAll(copy), std::string("\0ab", 3));
  ULARGE_INTEGER size{};
  size.QuadPart = 1;
  EXPECT_EQ(copy->SetSize(size), S_OK);
  copy->Seek(offset(0), STREAM_SEEK_SET, nullptr);
  EXPECT_EQ(readAll(copy), std::string("\0", 1));
  // From past the end of a stream, even an empty one, nothing is copied.
  IStream* none = SHCreateMemStream(nullptr, 0);
  ASSERT_NE(none, nullptr);
  EXPECT_EQ(none->Seek(offset(9), STREAM_SEEK_SET, nullptr), S_OK);
  EXPECT_EQ(none->CopyTo(copy, want, &read, &wrote), S_OK);
  EXPECT_EQ(read.QuadPart, 0u);
  EXPECT_EQ(wrote.QuadPart, 0u);
  EXPECT_EQ(none->Release(), 0u);

  // Interfaces it answers to count references; others are refused.
  void* object = nullptr;
  EXPECT_EQ(stream->QueryInterface(IID_ISequentialStream, &object), S_OK);
  EXPECT_EQ(object, static_cast<void*>(stream));
  EXPECT_EQ(stream->Release(), 1u);
  IID other = IID_IStream;
  other.Data1 = 0x1234;
  EXPECT_EQ(stream->QueryInterface(other, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  IStream* clone = nullptr;
  EXPECT_EQ(stream->Clone(&clone), E_NOTIMPL);
  EXPECT_EQ(copy->Release(), 0u);
  EXPECT_EQ(stream->Release(), 0u);
}
