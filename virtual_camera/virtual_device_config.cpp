#include "virtual_device_config.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>

#include "korvane_config_parser.h"

namespace Korvane::Evk {

namespace {

constexpr const char* kSection = "virtual device";
constexpr double kMinFrameRate = 1.0;
constexpr double kMaxFrameRate = 100.0;

// Frees the parser's lists however the reader leaves.
struct ParsedRecord {
    CameraConfigRecord record{};
    ~ParsedRecord() { korvane_free_config(&record); }
};

std::string trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A comma list of decimal numbers; false when any token is not a number.
bool parseNumbers(const std::string& value, std::vector<double>& out) {
    out.clear();
    size_t start = 0;
    for (;;) {
        const size_t comma = value.find(',', start);
        const std::string token = trim(value.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        double number = 0.0;
        const auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), number);
        if (token.empty() || ec != std::errc() || end != token.data() + token.size() || !std::isfinite(number)) {
            return false;
        }
        out.push_back(number);
        if (comma == std::string::npos) return true;
        start = comma + 1;
    }
}

bool isReflectivity(double value) { return value >= 0.0 && value <= 1.0; }

Sim::Vec3 millimetres(double x, double y, double z) { return {x / 1000.0, y / 1000.0, z / 1000.0}; }

// Reads the [virtual device] section through the configuration scanner.
class SectionReader {
public:
    SectionReader(VirtualDeviceConfig& config, std::filesystem::path folder)
        : config_(config), folder_(std::move(folder)) {}

    static int handle(void* user, const char* section, const char* name, const char* value) {
        auto* self = static_cast<SectionReader*>(user);
        if (std::strcmp(section, kSection) != 0 || name == nullptr || value == nullptr) return 1;
        return self->apply(name, value) ? 1 : 0;
    }

    bool sawShape() const { return sawShape_; }
    bool unknownKind() const { return unknownKind_; }
    const std::string& error() const { return error_; }

private:
    bool fail(const std::string& message) {
        if (error_.empty()) error_ = message;
        return false;
    }

    // Exactly `count` numbers.
    bool numbers(const std::string& key, const std::string& value, size_t count, std::vector<double>& out) {
        if (!parseNumbers(value, out) || out.size() != count) {
            return fail(key + " needs " + std::to_string(count) + " numbers, got '" + value + "'");
        }
        return true;
    }

    bool positive(const std::string& key, const std::string& value, double& out, bool allowZero = false) {
        std::vector<double> n;
        if (!numbers(key, value, 1, n)) return false;
        if (n[0] < 0.0 || (!allowZero && n[0] == 0.0)) return fail(key + " must be positive, got '" + value + "'");
        out = n[0];
        return true;
    }

    bool apply(const std::string& key, const std::string& value) {
        std::vector<double> n;
        Sim::PixelModelParams& pixel = config_.pixel;
        if (key == "KIND") {
            if (value == "SIMULATED_HQVGA") {
                config_.kind = DeviceKind::SimulatedHqvga;
            } else if (value == "PLAYBACK") {
                config_.kind = DeviceKind::Playback;
            } else {
                if (error_.empty()) unknownKind_ = true;
                return fail("unknown device kind '" + value + "' (SIMULATED_HQVGA or PLAYBACK)");
            }
            return true;
        }
        if (key == "FRAME_RATE") {
            if (!numbers(key, value, 1, n)) return false;
            if (n[0] < kMinFrameRate || n[0] > kMaxFrameRate) return fail("FRAME_RATE must be 1 to 100");
            config_.frameRate = n[0];
            return true;
        }
        if (key == "SEED") {
            uint64_t seed = 0;
            const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), seed);
            if (value.empty() || ec != std::errc() || end != value.data() + value.size()) {
                return fail("SEED must be an unsigned integer, got '" + value + "'");
            }
            config_.seed = seed;
            return true;
        }
        if (key == "INTRINSICS") {
            if (!numbers(key, value, 4, n)) return false;
            if (n[0] <= 0.0 || n[1] <= 0.0) return fail("INTRINSICS focal lengths must be positive");
            config_.intrinsics = Sim::Intrinsics{n[0], n[1], n[2], n[3]};
            return true;
        }
        if (key == "PLANE") {
            if (!numbers(key, value, 5, n)) return false;
            if (n[0] == 0.0 && n[1] == 0.0 && n[2] == 0.0) return fail("PLANE normal must not be zero");
            if (!isReflectivity(n[4])) return fail("PLANE reflectivity must be 0 to 1");
            const Sim::Vec3 normal = Sim::normalized({n[0], n[1], n[2]});
            addShape(Sim::Plane{normal, n[3] / 1000.0, n[4]});
            return true;
        }
        if (key == "BOX") {
            if (!numbers(key, value, 7, n)) return false;
            if (!isReflectivity(n[6])) return fail("BOX reflectivity must be 0 to 1");
            addShape(Sim::Box{millimetres(n[0], n[1], n[2]), millimetres(n[3], n[4], n[5]), n[6]});
            return true;
        }
        if (key == "SPHERE") {
            if (!numbers(key, value, 5, n)) return false;
            if (n[3] <= 0.0) return fail("SPHERE radius must be positive");
            if (!isReflectivity(n[4])) return fail("SPHERE reflectivity must be 0 to 1");
            addShape(Sim::Sphere{millimetres(n[0], n[1], n[2]), n[3] / 1000.0, n[4]});
            return true;
        }
        if (key == "SIGNAL_ELECTRONS") return positive(key, value, pixel.signalElectrons, true);
        if (key == "AMBIENT_ELECTRONS") return positive(key, value, pixel.ambientElectrons, true);
        if (key == "FULL_WELL_ELECTRONS") return positive(key, value, pixel.fullWellElectrons);
        if (key == "ELECTRONS_PER_CODE") return positive(key, value, pixel.electronsPerCode);
        if (key == "READ_NOISE_ELECTRONS") return positive(key, value, pixel.readNoiseElectrons, true);
        if (key == "DEMODULATION_CONTRAST") {
            if (!numbers(key, value, 1, n)) return false;
            if (!isReflectivity(n[0])) return fail("DEMODULATION_CONTRAST must be 0 to 1");
            pixel.demodulationContrast = n[0];
            return true;
        }
        if (key == "FILE") {
            if (value.empty()) return fail("FILE is empty");
            const std::filesystem::path file(value);
            config_.recordingPath = (file.is_absolute() ? file : folder_ / file).string();
            return true;
        }
        if (key == "LOOP") {
            if (value != "0" && value != "1") return fail("LOOP must be 0 or 1");
            config_.loop = value == "1";
            return true;
        }
        return fail("unknown key '" + key + "'");
    }

    template <typename Shape>
    void addShape(const Shape& shape) {
        if (!sawShape_) config_.scene = Sim::Scene();
        sawShape_ = true;
        config_.scene.add(shape);
    }

    VirtualDeviceConfig& config_;
    std::filesystem::path folder_;
    bool sawShape_ = false;
    bool unknownKind_ = false;
    std::string error_;
};

// Checks that the device kind can deliver what the camera parameters describe.
std::string checkGeometry(const VirtualDeviceConfig& config) {
    if (config.width == 0 || config.height == 0) return "[camera parameter] needs SIZE = width, height";
    if (config.bitWidth == 0 || config.bitWidth > 16) return "[camera parameter] needs BIT_WIDTH of 1 to 16";
    if (config.kind == DeviceKind::SimulatedHqvga) {
        if (config.width != 240 || config.height != 180) return "SIMULATED_HQVGA images are 240 x 180 (SIZE = 240, 180)";
        if (config.bitWidth < 8) return "SIMULATED_HQVGA delivers 8 to 16 bit samples (BIT_WIDTH)";
    }
    if (config.kind == DeviceKind::Playback && config.recordingPath.empty()) return "PLAYBACK needs FILE";
    return {};
}

}  // namespace

Sim::Intrinsics defaultHqvgaIntrinsics() { return Sim::Intrinsics{170.0, 170.0, 119.5, 89.5}; }

// A wall at 1.8 m, a floor 0.6 m below the camera, a sphere and a box in front.
Sim::Scene defaultScene() {
    Sim::Scene scene;
    scene.add(Sim::Plane{{0.0, 0.0, 1.0}, 1.8, 0.6});
    scene.add(Sim::Plane{{0.0, 1.0, 0.0}, 0.6, 0.4});
    scene.add(Sim::Sphere{{-0.25, 0.0, 1.0}, 0.2, 0.9});
    scene.add(Sim::Box{{0.15, 0.1, 1.1}, {0.45, 0.5, 1.4}, 0.7});
    return scene;
}

VirtualDeviceConfig defaultVirtualDevice() {
    VirtualDeviceConfig config;
    config.kind = DeviceKind::SimulatedHqvga;
    config.type = "virtual HQVGA";
    config.width = 240;
    config.height = 180;
    config.bitWidth = 12;
    config.intrinsics = defaultHqvgaIntrinsics();
    config.scene = defaultScene();
    return config;
}

ConfigStatus readVirtualDeviceConfig(const std::string& path, VirtualDeviceConfig& config, std::string& error) {
    ParsedRecord parsed;
    const int bad = korvane_parse_config(path.c_str(), &parsed.record);
    if (bad < 0) {
        error = "cannot read configuration file " + path;
        return ConfigStatus::Invalid;
    }
    if (bad > 0) {
        error = path + ":" + std::to_string(bad) + ": line not accepted";
        return ConfigStatus::Invalid;
    }

    config = VirtualDeviceConfig();
    config.intrinsics = defaultHqvgaIntrinsics();
    config.scene = defaultScene();
    config.type = parsed.record.type;
    config.width = parsed.record.width;
    config.height = parsed.record.height;
    config.bitWidth = parsed.record.bit_width;
    for (uint32_t i = 0; i < parsed.record.register_count; ++i) {
        const RegisterEntry& entry = parsed.record.registers[i];
        if (entry.kind != KORVANE_SECTION_REGISTER + KORVANE_KEY_REG) continue;
        if (entry.count != 2) {
            error = path + ": REG entry " + std::to_string(i + 1) + " needs address, value";
            return ConfigStatus::Invalid;
        }
        config.registers.emplace_back(static_cast<uint32_t>(entry.values[0]), static_cast<uint32_t>(entry.values[1]));
    }

    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    SectionReader reader(config, folder);
    const int line = korvane_scan_config(path.c_str(), &SectionReader::handle, &reader);
    if (line != 0) {
        error = path + (line > 0 ? ":" + std::to_string(line) + ": " + reader.error() : ": cannot read");
        return reader.unknownKind() ? ConfigStatus::UnknownKind : ConfigStatus::Invalid;
    }
    const std::string geometry = checkGeometry(config);
    if (!geometry.empty()) {
        error = path + ": " + geometry;
        return ConfigStatus::Invalid;
    }
    return ConfigStatus::Ok;
}

}  // namespace Korvane::Evk
