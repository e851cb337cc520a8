// The universe is made and freed here, above the UI: its panel list holds
// panels whose layout the world model below does not know.
#include "entities/worldState.h"

#include "core/dataFiles.h"
#include "ui/uiDisplay.h"

Universe::Universe() : Universe(dataFile("test.xml").c_str(), dataFile("projectiles.xml").c_str()) {}

Universe::~Universe()
{
    for (uiDisplay& panel : uiDisplays)
        for (uiDisplayBase* element : panel.elements) delete element;
}

Universe::Universe(const char* galaxyPath, const char* projectilePath)
{
    if (!loadXmlDocument(galaxyPath, galaxyFile, galaxyDoc, "universe", galaxyRoot, loadError)) return;
    loadXmlDocument(projectilePath, projectileFile, projectileDoc, "projectiles", projectileRoot, loadError);
}
