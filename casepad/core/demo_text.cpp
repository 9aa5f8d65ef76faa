#include "demo_text.h"

const char* const kDemoListing =
    "'Demo listing for KAVRIX.DLL\r"
    "'Set the cursor into a sub/function and click \"Toggle\"\r"
    "'Also click with the mouse at a line number inside a sub\r"
    "#Include \"WIN32API.INC\"\r"
    "%ID_TEST1 = &H2000\r"
    "%ID_TEST2 = &B10101010\r"
    "%ID_TEST3 = 1234 'A comment\r"
    "Declare Function Test2(ByVal a As Byte) As Long\r"
    "'**********************************************\r"
    "Sub Test1(ByVal a As Long,b As Dword)\r"
    "  1*2+(3/4)=567 'Not really...\r"
    "  a$=\"Hello\"\r"
    "End Sub\r"
    "'**********************************************\r"
    "Function Test2(ByVal a As Byte) As Long\r"
    "  data data function=a*986\r"
    "End Sub\r"
    "'**********************************************\r"
    "sub Test3\r"
    "  b$=Ucase$(a$)\r"
    "  c=GetFocus()\r"
    "  while getmessage(Msg,%Null,0,0)    'gets a message from the message queque\r"
    "  case wm_keydown\r"
    "  wend\r"
    "end sub\r"
    "\r";

const char* const kLexerWords =
    "while wend asm end sub function ucase$ byval byref as long dword byte include declare #include";

std::string BuildDemoText()
{
    std::string text = kDemoListing;
    for (int doubling = 0; doubling < 4; ++doubling) text += text;
    return text;
}
