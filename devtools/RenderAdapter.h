#pragma once

#include <QString>

// A serial adapter for the renderer's picture of the update wizard's port
// list, kept while the object lives.
class StandInAdapter {
public:
    explicit StandInAdapter(const QString& devicesFolder);
    ~StandInAdapter();
    StandInAdapter(const StandInAdapter&) = delete;
    StandInAdapter& operator=(const StandInAdapter&) = delete;

private:
    int m_handle = -1;
};
