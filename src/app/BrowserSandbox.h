#pragma once

namespace kobin {

// The web engine will not sandbox a process that runs as root: it ends the whole
// program instead, with every unsaved note. Run as root (containers, test
// machines), the browser starts without its sandbox, said once on standard
// error. To be called before the first page is opened.
void keepBrowserFromEndingTheProgram();

} // namespace kobin
