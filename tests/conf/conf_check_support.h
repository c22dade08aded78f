#pragma once

#include "conf/coin_presets.h"
#include "conf/conf_check.h"
#include "conf/conf_model.h"

#include <string>
#include <string_view>
#include <vector>

namespace korvane::test {

inline std::vector<std::string> keysOf(const ConfCheck& check, FindingWeight weight)
{
    std::vector<std::string> keys;
    for (const ConfFinding& finding : check.findings) {
        if (finding.weight == weight)
            keys.push_back(finding.key);
    }
    return keys;
}

// The generator's text for BASIC SETTINGS, then the LTC preset, with `userSettings` added.
inline std::string basicLitecoinConf(std::string_view userSettings = {})
{
    ConfModel model;
    model.settleAfterLoad();
    applyBasicSettings(model);
    applyCoinPreset(model, coinPresets()[2], {});
    model.setText(Key::UserDefinedSettings, userSettings);
    return model.render();
}

} // namespace korvane::test
