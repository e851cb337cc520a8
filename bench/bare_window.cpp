// The least a game of ours can do before its first frame: SDL, the same
// 1280 x 1024 OpenGL window, and GLEW. Start-up is measured against it.
#include <GL/glew.h>
#include <SDL.h>

#include <cstdio>

int main(int, char**)
{
    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_AUDIO | SDL_INIT_VIDEO) != 0) return 1;
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    if (!SDL_SetVideoMode(1280, 1024, 32, SDL_OPENGL)) return 1;
    if (glewInit() != GLEW_OK) return 1;
    std::printf("Window ready\n");
    std::fflush(stdout);
    SDL_Quit();
    return 0;
}
