#include "Model.h"

#include "device/DeviceProfile.h"
#include "device/ModelVariants.h"
#include "snmp/Encodings.h"

#include <QFileInfo>
#include <QString>
#include <QStringList>

namespace nswsim {

int Model::PortListOctets() const {
    return PortListOctetCount(ports);
}

Model LoadModel(const std::string& name, const std::string& profilesDir) {
    Model model;
    model.name = name;
    const QString qname = QString::fromStdString(name);
    const QString path =
        QString::fromStdString(profilesDir) + u'/' + qname + QStringLiteral("/User.ini");
    SDeviceProfile profile;
    if (QFileInfo::exists(path) && ReadDeviceProfile(path, profile).isEmpty() &&
        profile.strDeviceName == qname) {
        model.known = true;
        model.ports = profile.nPortNum;
        model.comboPorts = profile.nComboPortNum;
        model.comboIndex = profile.nComboPortIndex;
        model.allGiga = profile.bIsAllGiga;
        model.hasFan = profile.bIsHasFan;
    }
    model.ports = std::clamp(model.ports, 1, 64);
    // The module treats every name with a "P" as a PoE model; those it does
    // not poll (08P) still have eight PoE ports on their PoE pages.
    model.poePorts = PoePortCount(qname);
    if (model.poePorts == 0 && (qname.contains(u'p') || qname.contains(u'P')))
        model.poePorts = 8;
    model.poePorts = std::min(model.poePorts, model.ports);
    const auto& known = KnownModels();
    for (std::size_t i = 0; i < known.size(); ++i)
        if (known[i] == qname)
            model.objectIdArc = static_cast<int>(i) + 1;
    return model;
}

std::string PortListBytes(const Model& model, const std::vector<int>& ports) {
    std::vector<int> flags(static_cast<std::size_t>(model.ports), 0);
    for (int p : ports)
        if (p >= 1 && p <= model.ports)
            flags[static_cast<std::size_t>(p - 1)] = 1;
    return PortFlagsToBitmap(flags, model.ports).toStdString();
}

std::vector<int> PortListPorts(const Model& model, const std::string& bytes) {
    std::vector<int> ports;
    const QString list = PortBitmapToList(QByteArray::fromStdString(bytes), nullptr, model.ports);
    for (const QString& item : list.split(u',', Qt::SkipEmptyParts))
        ports.push_back(item.toInt());
    return ports;
}

bool PortListHas(const std::string& bytes, int port) {
    const std::size_t octet = static_cast<std::size_t>(port - 1) / 8;
    return port >= 1 && octet < bytes.size() &&
           (static_cast<unsigned char>(bytes[octet]) & (0x80 >> ((port - 1) % 8)));
}

} // namespace nswsim
