// Every suite runs headless: SDL draws into an offscreen GL context and the
// sound library, once used, stays silent; temporary files go to the build's
// own folder. Set here rather than by the test runner so a suite started by
// hand behaves the same.
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("ALSOFT_DRIVERS", "null", 0);
#ifdef TALVEMAR_TEST_TMPDIR
    setenv("TEST_TMPDIR", TALVEMAR_TEST_TMPDIR, 0);
#endif
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#if defined(TALVEMAR_GL_SUITE) && defined(__SANITIZE_ADDRESS__)
// Mesa's GL drivers keep allocations past the unloading of their modules;
// the leak checker would blame them on every suite that opens a window.
extern "C" const char* __asan_default_options() { return "detect_leaks=0"; }
#endif
