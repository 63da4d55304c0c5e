// Text with no file descriptor left: once the font code's own files are in memory, realizing and
// drawing a font opens nothing, and a font whose file is not in falls back to one that is.
#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>

#include "TextTestSupport.h"
#include "gdi/FontFiles.h"
#include "gdi/RealizedFont.h"

using namespace texttest;

namespace {

// The sanitizers' checks open descriptors of their own (the undefined-behaviour checks a pipe to
// look at memory), which none left would fail.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

int openDescriptors() {
  int count = 0;
  DIR* folder = opendir("/proc/self/fd");
  if (folder == nullptr) return -1;
  while (const dirent* entry = readdir(folder)) count += entry->d_name[0] != '.' ? 1 : 0;
  closedir(folder);
  return count - 1;  // the folder's own
}

// For its lifetime no new descriptor can be had: the limit is the lowest free number.
class NoDescriptorLeft {
 public:
  NoDescriptorLeft() {
    getrlimit(RLIMIT_NOFILE, &saved_);
    int lowestFree = dup(0);
    close(lowestFree);
    rlimit none = saved_;
    none.rlim_cur = static_cast<rlim_t>(lowestFree);
    setrlimit(RLIMIT_NOFILE, &none);
  }
  ~NoDescriptorLeft() { setrlimit(RLIMIT_NOFILE, &saved_); }
  NoDescriptorLeft(const NoDescriptorLeft&) = delete;
  NoDescriptorLeft& operator=(const NoDescriptorLeft&) = delete;

 private:
  rlimit saved_{};
};

struct Drawn {
  std::string face;
  int ink = 0;
};

Drawn draw(const FontRequest& wanted, const char* text) {
  Canvas canvas(200, 40);
  ScopedFont font(canvas.dc(), wanted);
  plainText(canvas.dc(), 2, 2, text);
  char face[LF_FACESIZE] = {};
  GetTextFaceA(canvas.dc(), LF_FACESIZE, face);
  return {face, canvas.count(kInk)};
}

}  // namespace

// The faces of the result window (the bitmap "MS Sans Serif"), of the message box
// ("MS Shell Dlg") and of the About window's links ("Tahoma", underlined).
TEST(FontFiles, TheProgramsFacesDrawWithNoDescriptorLeft) {
  if (kSanitized) GTEST_SKIP() << "the sanitizers need descriptors of their own";
  const int before = openDescriptors();
  gdi::loadFontFiles();
  std::vector<Drawn> drawn;
  {
    NoDescriptorLeft none;
    ASSERT_EQ(open("/dev/null", O_RDONLY), -1);
    ASSERT_EQ(errno, EMFILE);
    drawn.push_back(draw({.face = "MS Sans Serif", .height = -11}, "Error: 4:"));
    drawn.push_back(draw({.face = "MS Shell Dlg", .height = -11}, "Run-time error"));
    drawn.push_back(draw({.face = "Tahoma", .height = -11, .underline = true}, "~cv~"));
  }
  EXPECT_EQ(drawn[0].face, "MS Sans Serif");
  EXPECT_EQ(drawn[1].face, "Liberation Sans");
  for (const Drawn& d : drawn) EXPECT_GT(d.ink, 20) << d.face;
  // The faces hold no descriptor: every one they used is closed again.
  EXPECT_EQ(openDescriptors(), before);
}

TEST(FontFiles, AFontWhoseFileIsNotInFallsBackToOneThatIs) {
  if (kSanitized) GTEST_SKIP() << "the sanitizers need descriptors of their own";
  gdi::loadFontFiles();
  Drawn drawn;
  {
    NoDescriptorLeft none;
    drawn = draw({.face = "Courier New", .height = -13}, "Out of memory");
  }
  EXPECT_EQ(drawn.face, "Liberation Sans");
  EXPECT_GT(drawn.ink, 20);
  // With descriptors again, the file it wanted is opened after all.
  EXPECT_EQ(draw({.face = "Courier New", .height = -14}, "Out of memory").face, "Liberation Mono");
}

TEST(FontFiles, AFileIsMappedOnceAndOnlyAFileIsMapped) {
  const char* file = "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf";
  gdi::FontFileBytes first = gdi::fontFileBytes(file);
  ASSERT_NE(first.data, nullptr);
  EXPECT_GT(first.size, 1000u);
  EXPECT_EQ(gdi::fontFileBytes(file).data, first.data);
  EXPECT_EQ(gdi::fontFileBytes("/nonexistent/font.ttf").data, nullptr);
  EXPECT_EQ(gdi::fontFileBytes("/usr/share/fonts").data, nullptr);  // a folder is no font file
}
