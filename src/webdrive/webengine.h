// Whether this machine has a browser engine that can show a page: decided
// from what the Windows side finds, before any engine is started, because
// starting one that is missing may ask the user to download it.
#pragma once

namespace lz {

struct EngineFacts {
    bool mshtmlLoads = false;     // the HTML engine's library can be loaded
    bool wine = false;            // running under Wine
    bool geckoInstalled = false;  // Wine: the Gecko engine its HTML library needs is in place
};

// Wine without Gecko would offer a download in a dialog and wait for it; a
// system whose HTML library is missing or switched off has nothing to show.
inline bool EngineUsable(const EngineFacts& f) { return f.mshtmlLoads && (!f.wine || f.geckoInstalled); }

}  // namespace lz
