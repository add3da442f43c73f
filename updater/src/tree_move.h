#pragma once
// Installing a downloaded tree: the files under the program folder's
// "download" folder are copied into the program folder, then "download"
// is removed.
//
// Nothing is ever written outside the program folder, and removing the
// download tree never reaches outside it:
//  - symbolic links inside the download tree are not followed (they are
//    skipped when copying and removed as links when deleting);
//  - a target folder that resolves outside the program folder (for example
//    a link in the program folder leading elsewhere) is refused with
//    everything below it;
//  - files are replaced by renaming a finished copy over them, so a link at
//    the target is replaced, never written through, and a running program
//    can be replaced.
// Files that cannot be copied or removed are skipped with a trace.

#include <string>

namespace renovo {

// Copies `downloadFolder` into `programFolder` and deletes it. Returns the
// number of files copied.
int MoveDownloadedTree(const std::string& programFolder, const std::string& downloadFolder);

// Makes `folder` a real, empty folder. What an interrupted earlier run left
// there is removed, so it cannot be installed with the next download; a
// link of that name is removed as a link, so what is downloaded stays
// inside the program folder.
bool PrepareDownloadFolder(const std::string& folder);

}  // namespace renovo
