// Standard input, output and error of the process: kept open, so no file or connection the
// process opens later can take their numbers.
#pragma once

namespace zelvo {

// Opens /dev/null on each of descriptors 0, 1 and 2 that is closed. A process started with one
// closed would otherwise hand that number to its next file or X connection, which every write
// to standard output, or a library's stray close of standard input, would then hit.
void openClosedStandardStreams();

}  // namespace zelvo
