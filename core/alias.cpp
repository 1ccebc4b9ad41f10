#include "core/alias.h"

#include "core/utils.h"
#include "platform/data_root.h"

#include <QFile>
#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/ptree.hpp>
#include <sstream>

int get_json_alias_para(ALIAS_PARA *out, std::string list, int id)
{
    if (!out)
        return 0;
    const QString path = kor_path(QStringLiteral("/data/configs/alias.json"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    std::istringstream in(file.readAll().toStdString());
    file.close();
    namespace pt = boost::property_tree;
    pt::ptree root;
    try {
        pt::read_json(in, root);
    } catch (const pt::json_parser_error &) {
        QMutexLocker lock(&Utils::_file_deal_mutex);
        QFile::remove(path);
        return 0;
    }
    const auto names = root.get_child_optional(list + ".namelist");
    if (!names)
        return 0;
    for (const auto &entry : *names) {
        const pt::ptree &e = entry.second;
        if (e.get<int>("id", -1) != id)
            continue;
        out->id = id;
        out->name = e.get<std::string>("name", "");
        out->valid = e.get<std::string>("valid", "on");
        return (out->valid != "off" && !out->name.empty()) ? 1 : 0;
    }
    return 0;
}
