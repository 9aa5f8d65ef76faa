' freebasic-console.bas - a word counter for text files, written with
' careless keyword case.
#lang "fb"
#include "file.bi"

type WORDCOUNT
    word as string
    count as integer
end type

declare function FINDWORD(list() as WORDCOUNT, byref w as const string) as integer

dim shared words() as WORDCOUNT
dim fileName as string = command(1)
if len(fileName) = 0 then fileName = "readme.txt"

if fileexists(fileName) = false then
    print "No such file: "; fileName
    end 1
end if

print "Reading "; fileName; " ("; filelen(fileName); " bytes)"
dim f as long = freefile
open fileName for input as #f
do until eof(f)
    dim textLine as string
    line input #f, textLine
    dim w as string, i as integer
    for i = 1 to len(textLine) + 1
        dim c as string = mid(textLine, i, 1)
        if c >= "a" andalso c <= "z" orelse c >= "A" andalso c <= "Z" then
            w &= lcase(c)
        elseif len(w) > 0 then
            dim n as integer = FINDWORD(words(), w)
            words(n).count += 1
            w = ""
        end if
    next
loop
close #f

for i as integer = lbound(words) to ubound(words)
    print using "\            \ #####"; words(i).word; words(i).count
next
print "Distinct words: "; ubound(words) - lbound(words) + 1
sleep

function FINDWORD(list() as WORDCOUNT, byref w as const string) as integer
    for i as integer = lbound(list) to ubound(list)
        if list(i).word = w then return i
    next
    dim last as integer = ubound(list) + 1
    redim preserve list(0 to last)
    list(last).word = w
    return last
end function
