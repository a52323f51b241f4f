#pragma once

#include <windows.h>

#include <string_view>

namespace cadsim {

class Simulator;

// The control commands of the automation server; each replies 0 for an unknown command or a
// failure and 1 for success, except "live-objects", which replies the number of automation
// objects that clients still reference, "refused-calls", the number of calls refused, and
// "held-calls", the number of calls held by "hang-next-call" whose hold is over.
//   busy | idle                      what State.IsQuiescent reports (false | true)
//   automation on [<version>] | off  register in / revoke from the running object table
//   full-name <text>                 Application.FullName (the text may be empty)
//   hwnd-type I4|UI4|I8              the variant type of Application.HWND
//   docs clear                       no open drawing
//   doc add <name>|<path>|<count>    appends a drawing; the first one becomes the active one
//   doc active <index>               makes the drawing at that position the active one
//   fail <Object>.<Member>           that member fails with an automation exception
//   wrong-type <Object>.<Member>     that member answers with a result of the wrong type
//   unfail                           ends every "fail" and "wrong-type"
//   live-objects
//   refuse-calls <ms>                as a busy AutoCAD: the next automation call and every one
//                                    in the <ms> after it are refused (SERVERCALL_REJECTED)
//   refused-calls
//   hang <ms>                        as a hung AutoCAD: replies, then handles no message for <ms>
//   hang-next-call <ms>              the next automation call holds the thread for <ms>, then runs
//   held-calls
LRESULT RunAutomationPlain(Simulator& simulator, std::wstring_view verb);
LRESULT RunAutomationWithArgument(Simulator& simulator, std::wstring_view verb,
                                  std::wstring_view argument);

}  // namespace cadsim
