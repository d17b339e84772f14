#include "ui/help_texts.h"

#include "text/gbk.h"

namespace qm {

namespace {

std::string joined(std::initializer_list<const std::string*> parts, const std::string& separator) {
    std::string text;
    for (const std::string* part : parts) {
        if (!text.empty()) text += separator;
        text += *part;
    }
    return text;
}

}  // namespace

const std::string& operation_help_text() {
    static const std::string text = joined(
        {
            &"■ 按步就班，第一步、第二步、第三步，即可采集。"_gbk,
            &"■ 相关疑点说明："_gbk,
            &"【评论类型】只对淘宝网的商品有效，可选全部、好评、中评、差评或追评；天猫商品只有好评，选了其他类型也只采集好评。"_gbk,
            &"【评论最少字数】就是你看到的单条评论，检查他的最少字数，比如少于 5 字，那么评论内容如果只有“不错”、“好用”等不足5字的文字，就被忽略。"_gbk,
            &"【采集页数】设定每个商品采集评论的页数。评论是分页的，最多 100 页。设为 0 则自动采集全部页。"_gbk,
            &"【标题打乱】就是自动将商品标题按空格打乱顺序。"_gbk,
            &"【内容打乱】将同类项目的数据随机互换。比如采集有 10 个数据，模板里引用了“#买家#”和“#评论#”，那么就有 10 个买家数据和 10 个评论数据。而打乱就是在 10 个买家数据之间随机互换，10 个评论数据之间随机互换。因此不影响可读性，实现采集结果随机变化。"_gbk,
            &"【替换】用于对采集结果进行替换内容。比如要将“1、2、3”替换为“一、二、三”，那就设置【替换“1|2|3”为“一|二|三”】。打勾正则模式的话，按照正则表达式来替换。"_gbk,
            &"【保存模板】是针对单条数据设计的保存模板。多条数据累积起来保存在一个文件了。模板可引用的项目请单击“查看引用说明”按钮。"_gbk,
            &"【仅信息框预览】打勾后单击“开始采集”，只采集第一个商品的一页评论，把前 10 条结果显示在信息框里预览，不保存文件。"_gbk,
            &"【保存目录】选择一个目录来保存采集结果。目录右边的编辑框是保存的文件的扩展名。"_gbk,
        },
        "\r\n\r\n");
    return text;
}

const std::string& template_reference_text() {
    static const std::string text = [] {
        struct Entry {
            const std::string& placeholder;
            const std::string& description;
        };
        const Entry entries[] = {
            {"#评论#"_gbk, "一条评论信息"_gbk},
            {"#买家#"_gbk, "写评论的买家昵称"_gbk},
            {"#日期#"_gbk, "评论发表的日期"_gbk},
            {"#颜色#"_gbk, "商品的颜色或颜色分类"_gbk},
            {"#尺码#"_gbk, "商品的尺码或大小范围"_gbk},
            {"#年龄#"_gbk, "女装类项目"_gbk},
            {"#身高#"_gbk, "女装类项目"_gbk},
            {"#体重#"_gbk, "女装类项目"_gbk},
            {"#是否合身#"_gbk, "女装类项目"_gbk},
            {"#标题#"_gbk, "商品标题，如果启用标题打乱，则是打乱后的标题"_gbk},
            {"#原标题#"_gbk, "商品原标题，不受打乱影响"_gbk},
            {"#分隔#"_gbk, "如果你想弄多个模板随机切换，那就在多个模板之间插入#分隔#吧"_gbk},
        };
        std::string text = "■ 在模板中可引用项目及说明："_gbk + "\r\n\r\n";
        for (const Entry& entry : entries) text += entry.placeholder + "\t" + entry.description + "\r\n";
        text += "\r\n";
        text += "■ 更多评论项目可直接以“#项目名#”来引用，程序可智能识别提取对应数据。"_gbk + "\r\n\r\n";
        text += "比如商品“http://item.taobao.com/item.htm?id=600123456789”是一个食品类商品，"_gbk + "\r\n";
        text += "评论里有个“风味”参数，在模板中引用时只需填“#风味#”即可自动引用该数据。"_gbk;
        return text;
    }();
    return text;
}

}  // namespace qm
