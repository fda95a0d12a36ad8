#pragma once

namespace varnotel::bench {

// Start-up and the recounts of a library whose one example folder is a chain
// of folders `depth` deep with an article at its bottom, against find on the
// same tree in the same run. Prints its block, then a line the table is made
// from: ROW deep DEPTH key=value...
int measureDeepFolder(int depth);

} // namespace varnotel::bench
