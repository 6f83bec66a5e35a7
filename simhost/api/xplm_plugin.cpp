// XPLMPlugin: the plugin's id, what the simulator knows of it, its features.

#include "XPLMPlugin.h"

#include "api/copy_out.h"
#include "api/with_host.h"

using simhost::detail::copy_out;
using simhost::detail::host_state;
using simhost::detail::plugin_id;
using simhost::detail::stage;
using simhost::detail::with_host;

namespace {

// Native paths can be far longer than the 256 bytes of the other outputs.
const size_t path_size = 4096;
const size_t info_size = 256;

// The signature is known once XPluginStart has returned.
bool signature_known(const host_state &h)
{
    return h.plugin.at == stage::started || h.plugin.at == stage::enabled || h.plugin.at == stage::stopped;
}

} // namespace

XPLMPluginID XPLMGetMyID(void)
{
    return with_host("XPLMGetMyID", XPLM_NO_PLUGIN_ID, [](host_state &h) {
        return h.plugin.at == stage::none ? XPLM_NO_PLUGIN_ID : plugin_id;
    });
}

XPLMPluginID XPLMFindPluginBySignature(const char *inSignature)
{
    return with_host("XPLMFindPluginBySignature", XPLM_NO_PLUGIN_ID, [inSignature](host_state &h) {
        bool match = inSignature != nullptr && signature_known(h) && h.plugin.signature == inSignature;
        return match ? plugin_id : XPLM_NO_PLUGIN_ID;
    });
}

void XPLMGetPluginInfo(XPLMPluginID inPlugin, char *outName, char *outFilePath, char *outSignature,
                       char *outDescription)
{
    // An unknown id, or no host, reads as empty strings rather than leaving
    // the caller's buffers as they were.
    copy_out(outName, std::string(), info_size);
    copy_out(outFilePath, std::string(), path_size);
    copy_out(outSignature, std::string(), info_size);
    copy_out(outDescription, std::string(), info_size);
    with_host("XPLMGetPluginInfo", [=](host_state &h) {
        if (inPlugin != plugin_id || h.plugin.at == stage::none)
            return;
        copy_out(outName, h.plugin.name, info_size);
        copy_out(outFilePath, h.plugin.file_path(), path_size);
        copy_out(outSignature, h.plugin.signature, info_size);
        copy_out(outDescription, h.plugin.description, info_size);
    });
}

void XPLMEnableFeature(const char *inFeature, int inEnable)
{
    if (inFeature == nullptr)
        return;
    // Paths here are native whether or not the plugin asks; the host only records.
    with_host("XPLMEnableFeature", [=](host_state &h) { h.plugin.features[inFeature] = inEnable != 0; });
}
