// XPLMPlanes: which aircraft the simulator flies. The host models the user's
// aircraft only.

#include "XPLMPlanes.h"

#include "api/copy_out.h"
#include "api/with_host.h"

using simhost::acf_file_size;
using simhost::acf_path_size;
using simhost::detail::copy_out;
using simhost::detail::host_state;
using simhost::detail::with_host;

void XPLMGetNthAircraftModel(int inIndex, char *outFileName, char *outPath)
{
    // Another index, or no host, reads as empty strings: the simulator flies
    // no other aircraft here.
    copy_out(outFileName, std::string(), acf_file_size);
    copy_out(outPath, std::string(), acf_path_size);
    with_host("XPLMGetNthAircraftModel", [=](host_state &h) {
        if (inIndex != 0)
            return;
        copy_out(outFileName, h.model.file, acf_file_size);
        copy_out(outPath, simhost::acf_path(h.model, h.version), acf_path_size);
    });
}
