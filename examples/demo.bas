' demo.bas - a small FreeBasic program written with careless keyword case.
' Run "trx examples/demo.bas" and compare with examples/demo.bas.bas.
#include "windows.bi"

#define SHOP_NAME "Corner shop"
const MAX_ITEMS = 10

type ITEM
    nAme as string * 20
    price as double
end type

declare function TOTAL(items() as ITEM, byval count as integer) as double
declare sub SHOWITEMS(items() as ITEM, byval count as integer)

dim shared stock(1 to MAX_ITEMS) as ITEM
dim i as integer, n as integer

' The items come from DATA lines: their words are data, not keywords.
restore PRICES
read n
for i = 1 to n
    read stock(i).nAme, stock(i).price
next i

SHOWITEMS stock(), n
print "Total: "; using "####.##"; TOTAL(stock(), n)   ' a comment: dim, print and for stay as typed

if TOTAL(stock(), n) > 100 then
    messagebox(null, "That is a lot of money, isn't it?", SHOP_NAME, MB_OK or mb_iconinformation)
else
    PRINT "Cheap enough."
end if

dim key as string
do
    key = inkey$
    sleep 10
loop until len(key) > 0
print ucase$("done: ") & lcase$(key)
end

function TOTAL(items() as ITEM, byval count as integer) as double
    DIM sum AS DOUBLE
    FOR i AS INTEGER = 1 TO count
        sum += items(i).price
    NEXT
    RETURN sum
END FUNCTION

sub SHOWITEMS(items() as ITEM, byval count as integer)
    for i as integer = 1 to count
        print left$(items(i).nAme, 12), format(items(i).price, "0.00")
    next
end sub

PRICES:
data 3
data "Print paper", 12.5, "Dim lamp", 48.25, "For sale sign", 60
