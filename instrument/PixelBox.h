#pragma once

/** A box in whole pixels: where a view sits, as the model keeps it. What juce::Rectangle<int> is to
    the views, for the model, which draws nothing and so builds without the graphics module. */
struct PixelBox
{
    int x = 0, y = 0, width = 0, height = 0;

    int getX() const noexcept { return x; }
    int getY() const noexcept { return y; }
    int getWidth() const noexcept { return width; }
    int getHeight() const noexcept { return height; }
    int getRight() const noexcept { return x + width; }

    bool operator== (const PixelBox& other) const noexcept
    {
        return x == other.x && y == other.y && width == other.width && height == other.height;
    }
    bool operator!= (const PixelBox& other) const noexcept { return !operator== (other); }
};
