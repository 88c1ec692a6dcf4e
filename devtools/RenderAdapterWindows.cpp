#include "RenderAdapter.h"

// Windows lists the COM ports the system knows (under Wine, those of the
// prefix); there is no device folder to place a stand-in in.
StandInAdapter::StandInAdapter(const QString&) {}

StandInAdapter::~StandInAdapter() = default;
