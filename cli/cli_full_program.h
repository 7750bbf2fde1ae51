// ferrowyn-cli holds only the commands that read; every other command line goes to
// ferrowyn-cli-full, which holds them all and links the network and printing code that
// the readers never load.
#pragma once

namespace ferrowyn::cli {

// Replaces this process with ferrowyn-cli-full and the same arguments (`argv`, ended by
// a null pointer): beside this program (a build tree) or in the installed place. Returns
// only when it cannot be started, with the reason on standard error and the failure
// status.
int RunFullProgram(char** argv);

}  // namespace ferrowyn::cli
