#pragma once

#include <string>
#include <vector>

namespace nswsim {

// What differs between models: read from the module's own profiles so the
// simulator and the module never disagree.
struct Model {
    std::string name;
    bool known = false; // a profile was found
    int ports = 28;
    int comboPorts = 4;
    int comboIndex = 25;
    bool allGiga = false;
    bool hasFan = false;
    int poePorts = 0;
    int objectIdArc = 0; // last arc of sysObjectID

    bool IsCombo(int port) const { return port >= comboIndex && port < comboIndex + comboPorts; }
    bool IsPoe(int port) const { return port >= 1 && port <= poePorts; }
    bool HasPoe() const { return poePorts > 0; }
    int PortListOctets() const;
};

// profilesDir/<name>/User.ini; an unknown name gets the 28-port defaults.
Model LoadModel(const std::string& name, const std::string& profilesDir);

// PortList octet strings of this model (most significant bit = lowest port).
std::string PortListBytes(const Model& model, const std::vector<int>& ports);
std::vector<int> PortListPorts(const Model& model, const std::string& bytes);
bool PortListHas(const std::string& bytes, int port);

} // namespace nswsim
