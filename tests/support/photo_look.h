#pragma once
// Turns a clean disc picture into one that looks like a camera's photograph of the disc, for
// tests of reading real photos: the disc in a perspective view through a bending lens, front-lit
// (a brown cardboard disc with a printed paper label on a white sheet) or backlit (a dark disc on
// a light box), with uneven light, a shadow along the rim, the spindle's clamp, drive holes,
// sensor noise and soft edges. With the photo comes the truth a reading is checked against.
//
// The clean picture is read as a mask: dark is the disc's material, light is an opening (a slot,
// the centre hole, the background). Its light level is the picture's bright end and its dark
// level the disc's, so any renderer's colours will do. Draw it with the disc at least a third as
// large as the photo shows it: edges are sharpened again after scaling up.
//
// One pass over the photo's pixels, each mapped back into the disc's plane and shaded there; no
// allocation per pixel. Deterministic: the same inputs and seed give the same pixels.

#include <cstdint>

#include "engine/base/raster.h"
#include "tests/support/disc_renderer.h"
#include "tests/support/photo_camera.h"

namespace tivenor::testing {

// Where the disc lies in a clean picture. Pixel (x, y) has its centre at (x, y).
struct CleanDisc {
  double centreX = 0.0;
  double centreY = 0.0;
  double rimRadius = 0.0;    // pixels
  double labelRadius = 0.0;  // a paper label covers the disc inside this, rim radii; 0: none
};

// The disc RenderDisc drew with these options.
CleanDisc CleanDiscOf(const Raster& clean, const DiscOptions& options);

enum class Lighting {
  kFrontLit,  // a mid-tone cardboard disc on a white sheet; the holes show the sheet
  kBacklit,   // a dark disc on a light box; the holes shine, the label glows grey
};

struct PhotoOptions {
  Lighting lighting = Lighting::kFrontLit;
  CameraOptions camera;

  // What the disc carries besides what the clean picture shows; lengths in rim radii.
  bool startLine = true;           // printed on the label, with "THE BEGINNING" beside it
  double startLineDegrees = 90.0;  // its direction on the disc, counter-clockwise from +x
  // Drive holes punched round the centre, where the clean picture has none of its own.
  int driveHoles = 0;
  double driveHoleRadius = 0.22;   // the circle they lie on
  double driveHoleSize = 0.016;    // each hole's radius
  double driveHoleDegrees = 45.0;  // the direction of the first
  double clampRadius = 0.07;       // the spindle's metal clamp over the centre; 0 for none
  // The board's thickness: looking in at a slant, the camera sees a hole's far wall, and sees
  // through it only where the hole is open at the top and at the bottom.
  double boardThickness = 0.006;

  // The light.
  double shadowDegrees = 300.0;  // where the rim's shadow falls, counter-clockwise in the photo
  double shadowWidth = 0.012;    // rim radii
  double shadowStrength = 0.35;  // share of the light it takes at its darkest
  double vignetting = 0.3;       // share of the light the lens loses in the frame's corners
  double unevenLight = 0.12;     // the light falls off by this share across the frame
  double unevenLightDegrees = 200.0;  // where the light is strongest, seen from the middle

  // The sensor.
  double noise = 3.0;        // standard deviation in levels, at mid grey; less in the dark
  double edgeWidthPx = 1.4;  // a sharp edge spreads over this many pixels: slight blur
  uint32_t seed = 1;
};

// What a reading of the photo is checked against. Every angle is the disc's own (the clean
// picture's), counter-clockwise from its +x as seen on the face.
struct PhotoTruth {
  PhotoCamera camera;  // DiscToPicture, PictureToDisc: where each slot landed
  CleanDisc clean;
  PicturePoint discCentre;        // the image of the disc's true centre
  PicturePoint rimEllipseCentre;  // what fitting an ellipse to the rim finds instead
  double startLineDegrees = 0.0;  // on the disc; NaN when none is printed
  PicturePoint startLineInner;    // the printed line's ends in the photo
  PicturePoint startLineOuter;
};

struct Photo {
  Raster picture;
  PhotoTruth truth;
};

// Throws std::invalid_argument for an empty clean picture, a disc outside it or options no
// camera can have (see MakeCamera).
Photo MakePhoto(const Raster& clean, const CleanDisc& disc, const PhotoOptions& options = {});

// The truth alone, without drawing: cheap at any size.
PhotoTruth PhotoTruthOf(const CleanDisc& disc, const PhotoOptions& options);

// Where a point of the clean picture landed in the photo.
PicturePoint CleanToPicture(const PhotoTruth& truth, PicturePoint clean);

// A photo size of about this many megapixels, 3 : 2 like most cameras'.
CameraOptions CameraOfMegapixels(double megapixels);

}  // namespace tivenor::testing
