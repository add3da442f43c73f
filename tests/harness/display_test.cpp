// The display tests run under their own Xvfb server with Mesa's software
// OpenGL; this checks that a window with a GL 2.0 context opens there.

#include <SDL2/SDL.h>
#include <SDL2/SDL_opengl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

TEST(DisplayTest, OpensAWindowWithAnOpenGlContext) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr);
  ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_Window* window = SDL_CreateWindow("display check", 0, 0, 64, 48, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  ASSERT_NE(window, nullptr) << SDL_GetError();
  SDL_GLContext context = SDL_GL_CreateContext(window);
  ASSERT_NE(context, nullptr) << SDL_GetError();

  const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  ASSERT_NE(version, nullptr);
  std::printf("OpenGL %s on %s\n", version, renderer ? renderer : "?");
  int major = 0, minor = 0;
  ASSERT_EQ(std::sscanf(version, "%d.%d", &major, &minor), 2);
  EXPECT_GE(major * 10 + minor, 20);

  // A cleared frame reads back with the clear colour.
  glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  unsigned char pixel[4] = {};
  glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
  EXPECT_EQ(pixel[0], 255);
  EXPECT_EQ(pixel[1], 0);

  SDL_GL_DeleteContext(context);
  SDL_DestroyWindow(window);
  SDL_Quit();
}
