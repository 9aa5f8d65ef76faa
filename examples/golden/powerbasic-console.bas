' powerbasic-console.bas - a PB/CC program that sorts numbers it reads,
' written with careless keyword case.
#compile exe
#dim all

type STATS
    numbers as long
    total as double
end type

function pbmain() as long
    local i, n as long
    local entry as string
    local s as STATS
    dim values(1 to 100) as double

    stdout "Enter up to 100 numbers, an empty line ends."
    do
        line input "> "; entry
        entry = trim$(entry)
        if len(entry) = 0 then exit do
        if verify(entry, "0123456789.-") then
            stdout "Not a number: " & $dq & entry & $dq
            iterate do
        end if
        incr n
        values(n) = val(entry)
        s.total = s.total + values(n)
    loop until n = 100
    s.numbers = n
    if n = 0 then exit function

    redim preserve values(1 to n) as double
    array sort values(), descend
    for i = 1 to n
        stdout using$("##. #####.##", i, values(i))
    next i
    stdout "Average: " & format$(s.total / s.numbers, "0.00") & $crlf & "Done."
    waitkey$
end function
