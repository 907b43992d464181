// Every suite runs headless: SDL draws into an offscreen GL context and the
// sound library, once used, stays silent; temporary files go to the build's
// own folder. Set here rather than by the test runner so a suite started by
// hand behaves the same.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#if defined(TALVEMAR_GL_SUITE) && defined(__SANITIZE_ADDRESS__)
#include "gl_driver_pin.h"
#endif

#ifdef __SANITIZE_ADDRESS__
// The leak check's record of dynamically loaded modules' thread-local blocks
// is wrong under this C library (an entry starting at 0xb80 was seen), and
// its tracer then crashes at exit after every test has passed. Without the
// __tls_get_addr hook those blocks go unrecorded and unscanned; static TLS is
// still scanned, and the environment's ASAN_OPTIONS still override this.
extern "C" const char* __asan_default_options() {  // NOLINT(bugprone-reserved-identifier)
    return "intercept_tls_get_addr=0";
}
#endif

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("ALSOFT_DRIVERS", "null", 0);
#ifdef TALVEMAR_TEST_TMPDIR
    setenv("TEST_TMPDIR", TALVEMAR_TEST_TMPDIR, 0);
#endif
#if defined(TALVEMAR_GL_SUITE) && defined(__SANITIZE_ADDRESS__)
    if (KeepGlDriverLoaded().empty())
        std::fprintf(stderr, "Mesa's driver modules were not found; the leak check may blame them\n");
#endif
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

