'' rocks.bi -- what the modules of the asteroid field share.
'' Include it once from every module: #include once "rocks.bi"
#pragma once
#include once "SDL2/SDL.bi"

#define SCREEN_W 640
#define SCREEN_H 480
#define CLAMP(v, lo, hi) iif((v) < (lo), (lo), iif((v) > (hi), (hi), (v)))
const MAX_ROCKS = 16

type Rock
    as single x, y, dx, dy
    as long radius
    as ubyte alpha          '' 255 is solid; a hit rock fades to 0, then it is gone
    as boolean alive
end type

type Ship
    as single x, y, angle
    as long lives
    declare sub Turn(byval degrees as single)
end type

enum GameMode
    MODE_TITLE
    MODE_PLAY
    MODE_OVER
end enum

dim shared as SDL_Window ptr win
dim shared as SDL_Renderer ptr ren
dim shared rocks(0 to MAX_ROCKS - 1) as Rock
dim shared player as Ship
dim shared mode as GameMode
extern as long Total        '' rocks destroyed in all games; sdl-game.bas holds it

declare sub ResetField()
declare sub DrawRock(byref object as const Rock)
declare function HitRock(byref object as Rock, byval px as single, byval py as single) as boolean
declare function RocksLeft() as long
