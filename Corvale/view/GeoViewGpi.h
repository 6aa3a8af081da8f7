#pragma once
// What the plug-in host needs of the map views (GpiMapViewServices): the
// view's document, its client size, conversions through its last mapping,
// its widget, repainting and rendering into a plug-in's pixels.

// Installs the services into the plug-in host. The application calls it at
// start-up; tests of the map view operations call it themselves.
void InstallGpiMapViewServices();
