// ReadXFile: assimp, a system library, reads X files in a child process. A malformed file can
// make it recurse past any stack, loop for a count the file declares, or allocate that count's
// worth of memory first (a 30-byte file declaring a billion vertices asks for 12 GB): in the
// child it meets a limit on memory and time, and the program sees a file that did not load.
#include "d3dx/x_file.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace platform::d3dx {

bool IsolateXReader = true;

namespace {

// The child may grow its address space by this much plus kMemoryPerByte for each byte of the
// file (assimp's scene takes some 20 times the text it comes from), and run this long.
constexpr size_t kBaseMemory = size_t(512) << 20;
constexpr size_t kMemoryPerByte = 64;
constexpr unsigned kSecondsLimit = 60;

// The scene as bytes: counts and flags, then each material (its D3DMATERIAL9 and its texture
// name's length + 1, 0 for none, and the name), then each polygon (material, corner count,
// corners). Parent and child are the same program, so the records go as they lie in memory.
class Writer {
public:
    template <typename T>
    void Put(const T& value) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(&value);
        out.insert(out.end(), bytes, bytes + sizeof(T));
    }
    void Put(const void* data, size_t size) {
        const auto* bytes = static_cast<const uint8_t*>(data);
        out.insert(out.end(), bytes, bytes + size);
    }
    std::vector<uint8_t> out;
};

class Reader {
public:
    explicit Reader(Bytes bytes) : in_(bytes) {}
    template <typename T>
    bool Get(T* value) {
        return Get(value, sizeof(T));
    }
    bool Get(void* data, size_t size) {
        if (in_.size() - at_ < size) return false;
        std::memcpy(data, in_.data() + at_, size);
        at_ += size;
        return true;
    }
    bool AtEnd() const { return at_ == in_.size(); }

private:
    Bytes in_;
    size_t at_ = 0;
};

std::vector<uint8_t> Serialise(const XScene& scene) {
    Writer w;
    w.Put(uint32_t(scene.materials.size()));
    w.Put(uint32_t(scene.polygons.size()));
    w.Put(uint8_t(scene.hasNormals)), w.Put(uint8_t(scene.hasTexCoords)), w.Put(uint8_t(scene.hasColours));
    for (const XMaterial& material : scene.materials) {
        w.Put(material.material);
        w.Put(uint32_t(material.textureFile ? material.textureFile->size() + 1 : 0));
        if (material.textureFile) w.Put(material.textureFile->data(), material.textureFile->size());
    }
    for (const XPolygon& polygon : scene.polygons) {
        w.Put(uint32_t(polygon.material));
        w.Put(uint32_t(polygon.corners.size()));
        w.Put(polygon.corners.data(), polygon.corners.size() * sizeof(XVertex));
    }
    return w.out;
}

std::optional<XScene> Deserialise(Bytes bytes) {
    Reader r(bytes);
    uint32_t materials = 0, polygons = 0;
    uint8_t flags[3] = {};
    if (!r.Get(&materials) || !r.Get(&polygons) || !r.Get(flags, 3)) return std::nullopt;
    XScene scene;
    scene.hasNormals = flags[0], scene.hasTexCoords = flags[1], scene.hasColours = flags[2];
    for (uint32_t i = 0; i < materials; ++i) {
        XMaterial material;
        uint32_t nameSize = 0;
        if (!r.Get(&material.material) || !r.Get(&nameSize)) return std::nullopt;
        if (nameSize > 0) {
            material.textureFile.emplace(nameSize - 1, '\0');
            if (!r.Get(material.textureFile->data(), nameSize - 1)) return std::nullopt;
        }
        scene.materials.push_back(std::move(material));
    }
    for (uint32_t i = 0; i < polygons; ++i) {
        XPolygon polygon;
        uint32_t material = 0, corners = 0;
        if (!r.Get(&material) || !r.Get(&corners) || corners > bytes.size() / sizeof(XVertex)) return std::nullopt;
        polygon.material = material;
        polygon.corners.resize(corners);
        if (!r.Get(polygon.corners.data(), corners * sizeof(XVertex))) return std::nullopt;
        scene.polygons.push_back(std::move(polygon));
    }
    if (!r.AtEnd()) return std::nullopt;
    return scene;
}

// The address space the process holds now, in bytes.
size_t AddressSpace() {
    std::ifstream statm("/proc/self/statm");
    size_t pages = 0;
    statm >> pages;
    return pages * size_t(sysconf(_SC_PAGESIZE));
}

bool WriteAll(int fd, const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += size_t(n);
    }
    return true;
}

[[noreturn]] void RunChild(int fd, Bytes prepared) {
    const size_t limit = AddressSpace() + kBaseMemory + kMemoryPerByte * prepared.size() + ImportStackSize(prepared);
    const rlimit memory = {limit, limit};
    setrlimit(RLIMIT_AS, &memory);
    // Whatever the program made of the alarm signal, in the child it ends the reading.
    signal(SIGALRM, SIG_DFL);
    alarm(kSecondsLimit);
    const std::optional<XScene> scene = ImportXScene(prepared);
    // _exit: the parent's buffered output and exit handlers are not the child's to run.
    _exit(scene && WriteAll(fd, Serialise(*scene)) ? 0 : 1);
}

std::optional<XScene> ReadInChild(Bytes prepared) {
    int channel[2];
    if (pipe(channel) != 0) return std::nullopt;
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        RunChild(channel[1], prepared);
    }
    close(channel[1]);
    if (child < 0) {
        close(channel[0]);
        std::fprintf(stderr, "D3DXLoadMeshFromXW: no process to read the file in (%s)\n", std::strerror(errno));
        return std::nullopt;
    }
    std::vector<uint8_t> bytes;
    uint8_t buffer[65536];
    for (;;) {
        const ssize_t n = read(channel[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    close(channel[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFSIGNALED(status)) {
        std::fprintf(stderr, "D3DXLoadMeshFromXW: reading the file stopped on signal %d\n", WTERMSIG(status));
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    return Deserialise(bytes);
}

}  // namespace

std::optional<XScene> ReadXFile(Bytes file) {
    const std::optional<std::vector<uint8_t>> prepared = PrepareXFile(file);
    if (!prepared) return std::nullopt;
    return IsolateXReader ? ReadInChild(*prepared) : ImportXScene(*prepared);
}

}  // namespace platform::d3dx
