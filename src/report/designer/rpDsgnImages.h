#pragma once

// The designer's image lists: the report object images (16 x 16, shared with the model
// through SetObjectImages), the button images with their greyed copies and the wizard images
// (32 x 32). Lists grow by strips of square images laid side by side. The designer's own
// pictures are SVG drawings in its resources, one file per index that its windows use
// (images/object-NN.svg, button-NN.svg, wizard-NN.svg); every other index holds a neutral
// square.

#include <QImage>

#include <vector>

const std::vector<QImage>& MainButtonImages();
const std::vector<QImage>& DisabledButtonImages();
const std::vector<QImage>& WizardImages();
// Appends the images of a strip of 16 x 16 images (the list is emptied first when asked); the
// greyed copies follow.
void SetButtonImages(const QImage& strip, bool clearFirst);
// Appends the images of a strip of 32 x 32 images.
void SetWizardImages(const QImage& strip);

// Fills every list with the designer's own pictures; RemoveDesignerImages empties them.
void InstallDesignerImages();
void RemoveDesignerImages();
