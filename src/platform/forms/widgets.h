// Drawing the controls of controls.h with Dear ImGui, inside a form's Paint.
// Each control sits at its own client position; controls take the keyboard
// focus in the order they are drawn, so a form draws them in tab order.
#pragma once

#include <string>

#include "platform/forms/controls.h"

class TForm;
struct SDL_Texture;

// True when clicked (mouse, Space on the focused control); pass it on to
// Form.Click so that modal results and handlers run as for the keyboard.
bool DrawButton(TForm& Form, TButton& Button);
bool DrawCheckBox(TForm& Form, TCheckBox& CheckBox);
// True when the selection changed.
bool DrawRadioGroup(TForm& Form, TRadioGroup& Group);
// The edit field with its drop-down list; typing drops the selection.
void DrawComboBox(TForm& Form, TComboBox& Combo);
void DrawLabel(const TLabel& Label);
// A panel's frame: lowered outer and raised inner bevel.
void DrawPanel(int Left, int Top, int Width, int Height);
// The top line of a bevel.
void DrawBevelTop(int Left, int Top, int Width);

// A picture file (JPEG, BMP, TGA, PNG) as a texture of the form being painted;
// null when it cannot be read. Width and Height receive its size.
SDL_Texture* LoadPicture(const std::string& FileName, int& Width, int& Height);
void FreePicture(SDL_Texture* Texture);
// Draws it centred in the box, scaled proportionally to fit.
void DrawPicture(SDL_Texture* Texture, int PictureWidth, int PictureHeight, int Left, int Top, int Width, int Height);
