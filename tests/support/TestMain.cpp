// Every test must give back each GDI object it created: a test that ends with more or fewer live
// objects than it started with fails the run, whatever its own assertions said.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>

namespace {

class GdiObjectBalance : public testing::EmptyTestEventListener {
 public:
  void OnTestStart(const testing::TestInfo&) override { start_ = count(); }

  void OnTestEnd(const testing::TestInfo& info) override {
    DWORD end = count();
    if (end != start_) {
      std::fprintf(stderr, "GDI objects: %s.%s started with %u live and ended with %u\n",
                   info.test_suite_name(), info.name(), start_, end);
      unbalanced_ = true;
    }
  }

  bool unbalanced() const { return unbalanced_; }

 private:
  static DWORD count() { return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); }
  DWORD start_ = 0;
  bool unbalanced_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  auto* balance = new GdiObjectBalance;
  testing::UnitTest::GetInstance()->listeners().Append(balance);  // owned by gtest
  int result = RUN_ALL_TESTS();
  return (result == 0 && balance->unbalanced()) ? 1 : result;
}
