#include "platform/posix/managerfiles.h"

#include "platform/posix/fd.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <yaml.h>

// Lutris and Bottles write their files with PyYAML, and libyaml is the parser
// PyYAML itself is built on: it reads every form PyYAML may write (quoted,
// escaped or folded), and JSON too. Only the few keys needed are looked at.
namespace {

// A file's bytes. 0, or -1 where there is none, or the error number.
int readSmall(const std::string &path, std::string &bytes)
{
    const Fd fd(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat status{};
    if (!fd || fstat(fd.get(), &status) != 0)
        return errno == ENOENT || errno == ENOTDIR ? -1 : errno;
    if (!S_ISREG(status.st_mode))
        return -1;
    // A manager's file is small; a larger one is not taken as one.
    bytes.assign(1 << 20, '\0');
    size_t got = 0;
    for (ssize_t part = 1; part != 0 && got < bytes.size();) {
        part = read(fd.get(), bytes.data() + got, bytes.size() - got);
        if (part < 0 && errno != EINTR)
            return errno;
        got += part > 0 ? size_t(part) : 0;
    }
    bytes.resize(got);
    return got == 1 << 20 ? -1 : 0;
}

// The names in a folder, sorted. 0, or -1 where there is none, or the error number.
int list(const std::string &folder, std::vector<std::string> &names)
{
    DIR *dir = opendir(folder.c_str());
    if (!dir)
        return errno == ENOENT || errno == ENOTDIR ? -1 : errno;
    errno = 0;
    while (const dirent *entry = readdir(dir)) {
        if (entry->d_name[0] != '.')
            names.push_back(entry->d_name);
    }
    const int error = errno;
    closedir(dir);
    std::sort(names.begin(), names.end());
    return error;
}

class Document
{
public:
    explicit Document(const std::string &bytes)
    {
        yaml_parser_t parser;
        yaml_parser_initialize(&parser);
        yaml_parser_set_input_string(&parser, reinterpret_cast<const unsigned char *>(bytes.data()), bytes.size());
        m_loaded = yaml_parser_load(&parser, &m_document) != 0;
        yaml_parser_delete(&parser);
    }
    ~Document()
    {
        if (m_loaded)
            yaml_document_delete(&m_document);
    }
    Document(const Document &) = delete;
    Document &operator=(const Document &) = delete;

    yaml_node_t *root() { return m_loaded ? yaml_document_get_root_node(&m_document) : nullptr; }

    // The members of a mapping, in order; none for anything else.
    std::vector<std::pair<std::string, yaml_node_t *>> members(yaml_node_t *node)
    {
        std::vector<std::pair<std::string, yaml_node_t *>> all;
        if (!node || node->type != YAML_MAPPING_NODE)
            return all;
        for (yaml_node_pair_t *pair = node->data.mapping.pairs.start; pair < node->data.mapping.pairs.top; ++pair) {
            if (const auto key = text(yaml_document_get_node(&m_document, pair->key)))
                all.emplace_back(*key, yaml_document_get_node(&m_document, pair->value));
        }
        return all;
    }

    yaml_node_t *get(yaml_node_t *node, const std::string &key)
    {
        for (const auto &[name, value] : members(node)) {
            if (name == key)
                return value;
        }
        return nullptr;
    }

    // A scalar's text; none for a null or anything else.
    static std::optional<std::string> text(yaml_node_t *node)
    {
        if (!node || node->type != YAML_SCALAR_NODE)
            return std::nullopt;
        std::string value(reinterpret_cast<const char *>(node->data.scalar.value), node->data.scalar.length);
        if (node->data.scalar.style == YAML_PLAIN_SCALAR_STYLE && (value.empty() || value == "~" || value == "null"))
            return std::nullopt;
        return value;
    }

    // A plain true or false, as YAML 1.1 spells them; else the default.
    static bool flag(yaml_node_t *node, bool otherwise)
    {
        const auto value = text(node);
        if (!value || node->data.scalar.style != YAML_PLAIN_SCALAR_STYLE)
            return otherwise;
        for (const char *yes : {"true", "True", "TRUE", "yes", "Yes", "on", "On"})
            if (*value == yes)
                return true;
        for (const char *no : {"false", "False", "FALSE", "no", "No", "off", "Off"})
            if (*value == no)
                return false;
        return otherwise;
    }

private:
    yaml_document_t m_document{};
    bool m_loaded = false;
};

std::string resolved(const std::string &path)
{
    std::string clean = path;
    while (clean.size() > 1 && clean.ends_with('/'))
        clean.pop_back();
    char *real = realpath(clean.c_str(), nullptr);
    if (!real)
        return clean;
    clean = real;
    std::free(real);
    return clean;
}

bool isProgram(const std::string &path)
{
    struct stat status{};
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && access(path.c_str(), X_OK) == 0;
}

std::string environment(const char *name, const std::string &otherwise)
{
    const char *value = std::getenv(name);
    return value && value[0] == '/' ? value : otherwise;
}

struct Gatherer
{
    ManagerFacts &facts;
    const std::function<std::string(const std::string &)> &findCommand;
    std::string home, config, data;
    std::optional<Failure> failure = {};

    // The bytes of a file, or false where it is not there, or cannot be read.
    bool read(const std::string &path, std::string &bytes)
    {
        const int error = readSmall(path, bytes);
        if (error > 0 && !failure)
            failure = Failure{error, Cause::ManagerUnreadable, {}, path};
        return error == 0;
    }

    std::vector<std::string> names(const std::string &folder)
    {
        std::vector<std::string> all;
        if (const int error = list(folder, all); error > 0 && !failure)
            failure = Failure{error, Cause::ManagerUnreadable, {}, folder};
        return all;
    }

    // Whether it is there; where that cannot be told, a failure.
    bool exists(const std::string &path)
    {
        struct stat status{};
        if (stat(path.c_str(), &status) == 0)
            return true;
        if (errno != ENOENT && errno != ENOTDIR && !failure)
            failure = Failure{errno, Cause::ManagerUnreadable, {}, path};
        return false;
    }

    std::string flatpakOf(const std::string &path, const char *app)
    {
        return path.starts_with(home + "/.var/app/" + app + "/") ? app : "";
    }

    bool installed(const std::string &app)
    {
        return exists(data + "/flatpak/app/" + app) || exists("/var/lib/flatpak/app/" + app);
    }

    // A Lutris folder: its games' files, each with the runner's settings under the game's own.
    void lutris(const std::string &folder, const std::string &runners, const std::string &flatpak)
    {
        std::string bytes;
        Document runner(read(folder + "/runners/wine.yml", bytes) ? bytes : "");
        for (const std::string &name : names(folder + "/games")) {
            if (!name.ends_with(".yml") || !read(folder + "/games/" + name, bytes))
                continue;
            Document game(bytes);
            auto prefix = Document::text(game.get(game.get(game.root(), "game"), "prefix"));
            if (!prefix)
                continue;
            if (prefix->starts_with("~/"))
                prefix = home + prefix->substr(1);
            ManagerClaim claim{Manager::Lutris, resolved(*prefix), flatpak};
            std::vector<std::string> overrides;
            for (auto [document, wine] : {std::pair{&runner, runner.get(runner.root(), "wine")},
                                          {&game, game.get(game.root(), "wine")}}) {
                claim.name = Document::text(document->get(wine, "version")).value_or(claim.name);
                claim.esync = Document::flag(document->get(wine, "esync"), claim.esync);
                claim.fsync = Document::flag(document->get(wine, "fsync"), claim.fsync);
                claim.dxvk = Document::flag(document->get(wine, "dxvk"), claim.dxvk);
                for (const auto &[dll, how] : document->members(document->get(wine, "overrides")))
                    overrides.push_back(dll + "=" + Document::text(how).value_or(""));
            }
            for (const std::string &entry : overrides)
                claim.overrides += (claim.overrides.empty() ? "" : ";") + entry;
            claim.program = claim.name == "system" ? findCommand("wine") : runners + "/" + claim.name + "/bin/wine";
            claim.found = !claim.name.empty() && isProgram(claim.program);
            facts.claims.push_back(claim);
        }
    }

    // A bottle is its own folder, with bottle.yml beside drive_c.
    void bottles(const std::string &prefix)
    {
        std::string bytes;
        if (!read(prefix + "/bottle.yml", bytes))
            return;
        Document bottle(bytes);
        const auto name = Document::text(bottle.get(bottle.root(), "Name"));
        if (!name)
            return;
        const char *app = "com.usebottles.bottles";
        std::string native = findCommand("bottles-cli"), flatpak = flatpakOf(prefix, app);
        // A bottle kept elsewhere is the native one's, where Bottles is installed so.
        if (flatpak.empty() && !prefix.starts_with(data + "/bottles/") && native.empty() && installed(app))
            flatpak = app;
        facts.claims.push_back({Manager::Bottles, prefix, flatpak, flatpak.empty() ? native : "bottles-cli",
                                flatpak.empty() ? !native.empty() : installed(app), *name});
    }

    void heroic(const std::string &folder, const std::string &flatpak)
    {
        std::string bytes;
        for (const std::string &file : names(folder)) {
            if (!file.ends_with(".json") || !read(folder + "/" + file, bytes))
                continue;
            Document games(bytes);
            for (const auto &[app, settings] : games.members(games.root())) {
                const auto prefix = Document::text(games.get(settings, "winePrefix"));
                yaml_node_t *wine = games.get(settings, "wineVersion");
                if (!prefix)
                    continue;
                ManagerClaim claim{Manager::Heroic, {}, flatpak, Document::text(games.get(wine, "bin")).value_or("")};
                claim.proton = Document::text(games.get(wine, "type")) == "proton";
                // Proton makes its prefix in a pfx folder inside the one named.
                claim.prefix = claim.proton ? resolved(*prefix) + "/pfx" : resolved(*prefix);
                claim.found = isProgram(claim.program);
                claim.name = app;
                claim.esync = Document::flag(games.get(settings, "enableEsync"), true);
                claim.fsync = Document::flag(games.get(settings, "enableFsync"), true);
                claim.steam = home + "/.steam/steam";
                facts.claims.push_back(claim);
            }
        }
    }

    // STEAM/steamapps/compatdata/ID/pfx, with the version of Proton that made it beside.
    void proton(const std::string &prefix)
    {
        if (!prefix.ends_with("/pfx"))
            return;
        const std::string above = prefix.substr(0, prefix.size() - 4);
        const auto compat = above.rfind("/steamapps/compatdata/");
        std::string version;
        if (compat == std::string::npos || above.find('/', compat + 22) != std::string::npos
            || !read(above + "/version", version))
            return;
        version = version.substr(0, version.find_first_of("\r\n"));
        const std::string library = prefix.substr(0, compat);
        const std::string app = "com.valvesoftware.Steam";
        const std::string flatpak = flatpakOf(prefix, app.c_str());
        // Steam's own folder holds the client; another library only games.
        const std::string steam = exists(library + "/ubuntu12_32") ? library
                                  : flatpak.empty()                ? resolved(home + "/.steam/root")
                                                                   : resolved(home + "/.var/app/" + app + "/.steam/root");
        facts.claims.push_back({Manager::Proton, prefix, flatpak, version, false, above.substr(compat + 22)});
        facts.claims.back().steam = steam;
        for (const std::string &tools :
             {library + "/steamapps/common", steam + "/steamapps/common", steam + "/compatibilitytools.d",
              std::string("/usr/share/steam/compatibilitytools.d")}) {
            for (const std::string &name : names(tools)) {
                std::string script;
                if (!read(tools + "/" + name + "/proton", script))
                    continue;
                // Its script says which prefix version it makes: CURRENT_PREFIX_VERSION="8.0-104".
                const auto at = script.find("\nCURRENT_PREFIX_VERSION=\"");
                const auto end = script.find('"', at + 25);
                if (at != std::string::npos && end != std::string::npos)
                    facts.protons.push_back({tools + "/" + name + "/proton", script.substr(at + 25, end - at - 25)});
            }
        }
    }
};

} // namespace

std::optional<Failure> gatherManagers(ManagerFacts &facts, const std::string &prefix,
                                      const std::function<std::string(const std::string &)> &findCommand)
{
    facts.wineNamed = std::getenv("WINE") && *std::getenv("WINE");
    const char *home = std::getenv("HOME");
    if (facts.wineNamed || prefix.empty() || !home || home[0] != '/')
        return std::nullopt;
    const std::string h = home;
    Gatherer gather{facts, findCommand, h, environment("XDG_CONFIG_HOME", h + "/.config"),
                    environment("XDG_DATA_HOME", h + "/.local/share")};
    facts.prefix = resolved(prefix);
    facts.flatpak = findCommand("flatpak");
    // Lutris has kept its games' files in both places, over the years.
    const std::string lutrisApp = h + "/.var/app/net.lutris.Lutris";
    for (const std::string &folder : {gather.config + "/lutris", gather.data + "/lutris"})
        gather.lutris(folder, gather.data + "/lutris/runners/wine", "");
    for (const std::string &folder : {lutrisApp + "/config/lutris", lutrisApp + "/data/lutris"})
        gather.lutris(folder, lutrisApp + "/data/lutris/runners/wine", "net.lutris.Lutris");
    gather.bottles(facts.prefix);
    gather.heroic(gather.config + "/heroic/GamesConfig", "");
    gather.heroic(h + "/.var/app/com.heroicgameslauncher.hgl/config/heroic/GamesConfig", "com.heroicgameslauncher.hgl");
    gather.proton(facts.prefix);
    return gather.failure;
}
