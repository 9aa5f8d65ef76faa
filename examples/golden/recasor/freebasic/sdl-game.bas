/' sdl-game.bas -- an asteroid field in SDL2, keyboard only.
   The loop: while SDL_PollEvent(@event) ... wend, then draw each rock
   that is alive; a rock that is hit loses alpha until it is dust.
   /' fbc -s gui sdl-game.bas: Print goes nowhere then '/ so print less '/
#include once "rocks.bi"

dim shared as long total      '' the storage of rocks.bi's Total
dim event as SDL_Event
dim as boolean quit = false

sub Ship.Turn(byval degrees as single)
    ANGLE = (Angle + degrees) mod 360
end sub

sub ResetField()
    dim as long count = 0
    for i as integer = 0 to MAX_ROCKS - 1
        with rocks(i)
            read .X, .Y, .DX, .DY, .Radius
            if .radius = 0 then exit for
            .ALPHA = 255 : .Alive = true
            COUNT += 1
        end with
    next
    player.X = SCREEN_W / 2 : player.y = SCREEN_H / 2 : player.Lives = 3
    print "field reset:"; Count; " rocks"
end sub

sub DrawRock(byref object as const Rock)
    dim as ubyte alpha = CLAMP(object.ALPHA, 0, 255)
    dim as SDL_Rect box = (OBJECT.x - object.radius, object.y - object.radius, object.radius * 2, object.radius * 2)
    SDL_SetRenderDrawColor(ren, 200, 180, 140, Alpha)
    SDL_RenderFillRect(ren, @box)
end sub

function HitRock(byref object as Rock, byval px as single, byval py as single) as boolean
    dim as single dist /' from the shot: if dist > radius then it missed '/ = sqr((px - object.x) ^ 2 + (py - object.y) ^ 2)
    if DIST > Object.radius orelse not object.Alive then return false
    object.alpha -= 51                  '' five hits, then it is dust
    if object.alpha = 0 then object.alive = false : TOTAL += 1
    return true
end function

function RocksLeft() as long
    dim as long Count
    for I as integer = 0 to MAX_ROCKS - 1
        if rocks(i).alive then count += 1
    next
    return COUNT
end function

SDL_Init(SDL_INIT_VIDEO)
win = SDL_CreateWindow("Rocks", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, SCREEN_W, SCREEN_H, 0)
REN = SDL_CreateRenderer(WIN, -1, SDL_RENDERER_ACCELERATED)
restore rock_table : ResetField() : MODE = MODE_PLAY

do until quit
    while SDL_PollEvent(@EVENT)
        if event.type = SDL_QUIT_ then quit = true : rem the close box: exit do would skip the score
        if event.type = SDL_KEYDOWN andalso Event.key.keysym.sym = SDLK_LEFT then Player.turn(-15)
    wend
    SDL_RenderClear(ren)
    for i as integer = 0 to max_rocks - 1
        if Rocks(i).alive then drawrock(rocks(i))
    next
    SDL_RenderPresent(ren)
    if rocksleft() = 0 then mode = MODE_OVER : quit = true
    SDL_Delay(16)
loop
rem print the score before the window goes: total counts every game played
print "rocks destroyed:"; total
for I as integer = 0 to MAX_ROCKS - 1
    if rocks(I).radius then print I; ": alpha"; rocks(I).Alpha
next
SDL_Quit()
end

rock_table:   '' x, y, dx, dy, radius; a radius of 0 ends the list
data 40, 60, 1.5, 0.5, 30,  500, 80, -1, 1, 24
DATA 300, 400, 0.5, -1.5, 18 : data 0, 0, 0, 0, 0
